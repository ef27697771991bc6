#pragma once

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <vector>

class QPainter;

namespace controls {

// The keyboard focus mark of the controls: a 2-point dark blue ring with a 1-point
// white edge round it, rounded. The two are 9:1 apart, so one of them stands out at
// 3:1 or more on any ground.
inline const QColor focusRingColor{0, 64, 160};
inline const QColor focusRingEdgeColor{255, 255, 255};
inline constexpr qreal focusRingWidth = 3; // both bands

// Paints the ring just inside `bounds`, its outline rounded by `cornerRadius`.
void paintFocusRing(QPainter& painter, const QRectF& bounds, qreal cornerRadius);

// The style sheet of a push button that lies over a label of its own: it draws
// nothing of its own, its focus ring lies outside it (KeyboardFocusRing).
QString overlayButtonStyle();

// The corner radius the ring round a control follows, as the control's dynamic
// property of this name (a number; below 0 for half the control's height); 4 unset.
inline constexpr const char* focusRingCornerProperty = "focusRingCornerRadius";

// The ring drawn outside a control's edge, a gap wide on each side: a widget over the
// control, in the nearest container that holds it whole, moved with the control; where
// the window itself cannot (a control at its edge), the ring comes inside the window on
// that side. It never takes mouse events or the focus.
class FocusRingFrame : public QWidget {
public:
    static constexpr int gap = 2;
    static constexpr int outset = gap + static_cast<int>(focusRingWidth);

    FocusRingFrame();
    // Shows the ring round `control`, or hides it when none.
    void follow(QWidget* control);
    QWidget* control() const { return control_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void watch(bool on);
    void place();
    qreal cornerRadius() const;

    QPointer<QWidget> control_;
    std::vector<QPointer<QWidget>> watched_; // the control and its containers up to the ring's
};

} // namespace controls
