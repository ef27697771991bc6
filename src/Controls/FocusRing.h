#pragma once

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace controls {

// The keyboard focus mark of the controls: a 2-point blue ring, rounded.
inline const QColor focusRingColor{0, 120, 240};
inline constexpr qreal focusRingWidth = 2;

// Paints the ring just inside `bounds`, its outline rounded by `cornerRadius`.
void paintFocusRing(QPainter& painter, const QRectF& bounds, qreal cornerRadius);

// The style sheet of a push button that lies over a label of its own: it draws
// nothing but the ring while it has the keyboard.
QString overlayButtonStyle();

// The ring drawn around a control whose own drawing leaves no room for it: a sibling
// of the control, a gap wider on each side, shown while the control has the focus and
// moved with it. It never takes mouse events. Made by the control, as a child of the
// control's parent.
class FocusRingFrame : public QWidget {
public:
    static constexpr int gap = 2;

    FocusRingFrame(QWidget& control, qreal cornerRadius);
    // Follows a focus change of the control: shown at its place, or hidden.
    void follow(bool focused);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QPointer<QWidget> control_;
    qreal cornerRadius_;
};

} // namespace controls
