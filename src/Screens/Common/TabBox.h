#pragma once

#include <QString>

class QFrame;
class QLayout;
class QPushButton;
class QWidget;

// A tab of a screen: a box showing `content` (its layout, already filled; its widgets
// move into the box) with a flat, transparent button over the whole of it (hand
// cursor) that takes the tab's clicks. To screen readers the button is a page tab
// named by the first label of `content` (its caption), selectable, and selected as
// setTabSelected last said.
struct TabBox {
    QFrame* box;
    QPushButton* button;
};
TabBox makeTabBox(QWidget* parent, const QString& boxName, const QString& buttonName, QLayout* content);

// Marks the tab of `tabButton` (made by makeTabBox) selected or not, for screen readers.
void setTabSelected(QPushButton& tabButton, bool selected);
