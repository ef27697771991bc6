#pragma once

#include <QMainWindow>

class ViewController;

// The main window: its content is the ViewController. Closing it only hides it; the
// application keeps running and its menu commands and reopen show it again.
class InitialWindowController : public QMainWindow {
public:
    InitialWindowController();

    ViewController& contentViewController() const { return *content_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void windowDidLoad();
    bool windowShouldClose() const { return true; }

    ViewController* content_;
};
