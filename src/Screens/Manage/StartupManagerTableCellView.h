#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class ToggleSwitch;

// One row of the startup-items table: the check box that selects it for deletion,
// the item's icon, name and publisher, and its on/off switch with the state text
// beside it, or, for an item whose program is missing, an alert image in place of
// the switch. The screen fills it; the cell only clears its content for reuse.
class StartupManagerTableCellView : public QWidget {
public:
    // The widths of the columns after the name, shared with the screen's headings.
    static constexpr int publisherWidth = 190;
    static constexpr int statusWidth = 150;
    static constexpr int rowHeight = 52;

    explicit StartupManagerTableCellView(QWidget* parent = nullptr);

    // A text colour that holds under the table's style sheet.
    static void setTextColour(QLabel& label, const QColor& colour);

    // No icon, empty texts, alert image hidden, check box shown.
    void prepareForReuse();

    QCheckBox* btnSelect;
    QLabel* imgViewAlert;
    QLabel* imgViewIcon;
    QLabel* lblName;
    QLabel* lblCompanyName;
    ToggleSwitch* btnToggle;
    QLabel* lblEnableDisable;
};
