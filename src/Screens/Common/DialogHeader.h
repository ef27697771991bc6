#pragma once

class QString;
class QWidget;

// The head of the product's own dialogs: the application's icon and a title on a
// dark band, over an accent line.
QWidget* makeDialogHeader(QWidget* parent, const QString& title);
