#pragma once

class QWidget;

// The steps a screen takes when a screen container puts it on show. The container
// calls them itself, once per showing (never from Qt's show events, which also come
// when a hidden window is shown again). A screen derives from QWidget and from this,
// and overrides the steps it needs.
class AppearingScreen {
public:
    virtual ~AppearingScreen() = default;

    // Before the screen's view is shown: set texts and states from the settings.
    virtual void viewWillAppear() {}
    // Right after it is shown.
    virtual void viewDidAppear() {}
    // The control that takes the keyboard when the screen replaces the one that held
    // it (its main action or content); none by default.
    virtual QWidget* mainControl() { return nullptr; }
};
