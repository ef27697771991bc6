#pragma once

#include "Foundation/IndexVocabularies.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <array>
#include <vector>

class QLayout;

// The constant of an entry's bottom constraint: the gap below the entry's box.
class LayoutConstraint {
public:
    explicit LayoutConstraint(QLayout& layout) : layout_(layout) {}
    double constant() const { return constant_; }
    void setConstant(double constant);

private:
    QLayout& layout_;
    double constant_ = 1.0;
};

// One sidebar entry: its marker line (shown on the selected entry only), its box,
// label, button and bottom constraint.
struct SidebarEntry {
    QFrame* line;
    QFrame* box;
    QLabel* label;
    QPushButton* button;
    std::unique_ptr<LayoutConstraint> bottomConstant;
};

// The main window's content: header, sidebar of five entries, the container that
// shows one screen at a time, and footer.
class ViewController : public QWidget {
public:
    explicit ViewController(QWidget* parent = nullptr);

    QFrame* boxHeader;
    QFrame* boxMenu;
    QPointer<QWidget> containerView;
    QFrame* boxFooter;
    QLabel* lblTitle;

    const SidebarEntry& entry(Menu menu) const { return entries_[static_cast<std::size_t>(menu)]; }

    // The sidebar's click: ignored while a scan or clean runs or a clean is in progress.
    void selectMenuItemIfIdle(Menu menu);
    // Highlights the entry and shows its screen.
    void selectMenu(Menu menu);

    void clickedOverviewMenu() { selectMenuItemIfIdle(Menu::overview); }
    void clickedScanMenu() { selectMenuItemIfIdle(Menu::scan); }
    void clickedProtectionMenu() { selectMenuItemIfIdle(Menu::protection); }
    void clickedStartupManagerMenu() { selectMenuItemIfIdle(Menu::startupManager); }
    void clickedSettingsMenu() { selectMenuItemIfIdle(Menu::settings); }

    void notifyMenuSelection(const platform::Notification& notification);
    void aboutWindow();

private:
    void loadView();
    void viewDidLoad();

    std::array<SidebarEntry, 5> entries_;
    std::vector<platform::ObservationToken> observers_;
};
