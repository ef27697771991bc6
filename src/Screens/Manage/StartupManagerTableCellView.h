#pragma once

#include <QWidget>

class LaunchAgent;
class LoginItem;
class QCheckBox;
class QLabel;
class ToggleSwitch;

// One row of the startup-items table: the check box that selects it for deletion,
// the item's icon, name and publisher, and its on/off switch with the state text
// beside it, or, for an item whose program is missing, an alert image in place of
// the switch. Its tool tip names the item: its label and its plist or application.
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

    // Shows the item of `row`; its switch posts that row, unless it is a
    // service-management login item, which cannot be switched here.
    void fill(const LoginItem& item, int row);
    void fill(const LaunchAgent& agent, int row);
    // The state text of an item switched on or off.
    void showEnabled(bool on);

    QCheckBox* btnSelect;
    QLabel* imgViewAlert;
    QLabel* imgViewIcon;
    QLabel* lblName;
    QLabel* lblCompanyName;
    ToggleSwitch* btnToggle;
    QLabel* lblEnableDisable;

private:
    template <class Record> void show(const Record& item, int row, bool switchable);
};
