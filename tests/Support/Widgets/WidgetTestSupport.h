#pragma once

#include "Platform/Notifications/NotificationCenter.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace widgettest {

// The colour a widget paints at a point (rendered off screen).
QColor pixelAt(QWidget& widget, QPoint point);
// Whether two colours agree within a small tolerance per channel.
bool nearColor(const QColor& a, const QColor& b, int tolerance = 6);
// Whether the widget paints any pixel near `colour` (text drawn as markup shows its colours).
bool paintsColor(QWidget& widget, const QColor& colour, int tolerance = 60);
// The text a tool tip shows for `toolTip` (a tool tip takes a text that looks like
// markup as markup).
QString shownToolTip(const QString& toolTip);
// The contrast ratio of two colours, 1 to 21, by their relative luminance.
double contrastRatio(const QColor& a, const QColor& b);

// The focus ring above the middle of `control`'s top edge, as its window paints it:
// the ring's inner band, its outer edge and the ground just outside the ring.
struct FocusRingSample {
    QColor band, edge, ground;
    // The better contrast of the two bands against the ground.
    double contrast() const;
    // Whether the ring shows: its band in the ring's colour, 3:1 or more on the ground.
    bool shown() const;
};
FocusRingSample focusRingAbove(const QWidget& control);
// The same left of the middle of `control`'s left edge, inside the window: at the
// window's edge the ring lies over the control, whose own fill is then the ground.
FocusRingSample focusRingLeftOf(const QWidget& control);

// Every control the keyboard reaches in `screen` carries a name a screen reader says.
void expectEveryFocusableControlNamed(QWidget& screen);

// Saves the widget's look as <build>/grabs/<name>.png for a person to look at.
void saveGrab(QWidget& widget, const QString& name);
// The same once every animation of the widget and the widgets in it has run to its
// end: the screen as the user sees it settled (a switch's knob, a button's colour).
void saveSettledGrab(QWidget& widget, const QString& name);

// Mouse input as the window system delivers it to the widget.
void press(QWidget& widget, QPoint point = {5, 5});
void release(QWidget& widget, QPoint point = {5, 5});
void click(QWidget& widget, QPoint point = {5, 5});
void moveTo(QWidget& widget, QPoint point);
void enter(QWidget& widget);
void leave(QWidget& widget);

// Records the notifications of one name while it lives.
class NotificationRecorder {
public:
    explicit NotificationRecorder(const std::string& name);
    const std::vector<platform::Notification>& received() const { return received_; }

private:
    std::vector<platform::Notification> received_;
    platform::ObservationToken token_;
};

} // namespace widgettest
