#pragma once

#include <QObject>
#include <QRect>

#include <functional>

class QGraphicsOpacityEffect;
class QWidget;

// Presents a view over the presenting window's content on a dark overlay, and takes it
// away again, each with a 0.5-second fade. "IsPopUpBGX" (standard defaults) turns true
// when a presentation starts and false when a dismissal starts. The overlay is made by
// the first presentation that finds none (kept in dimmingOverlay()) and removed by the
// end of the next dismissal; clicks on it never reach what lies under it.
// Main thread only; both operations return at once and finish on the main thread.
class CustomAnimator : public QObject {
    Q_OBJECT

public:
    static constexpr double fadeSeconds = 0.5;
    // The top strip of the overlay that does not take clicks itself.
    static constexpr int overlayTitleStrip = 36;
    // How far below the presenting view's top a presented view starts and a dismissed one ends.
    static constexpr int slideOffset = 50;

    // `duration` is kept for the owner (both fades last fadeSeconds); `rect` gives the
    // left edge, width and height a presented view starts with.
    CustomAnimator(double duration, const QRect& rect, QObject* parent = nullptr);

    const double duration;
    const QRect rect;

    // Adds `presentedView` as the topmost child of `presentingView` (normally the
    // window's content; it is the view's parent while shown), fades it in while it
    // grows to fill it, and keeps it filling it.
    void animatePresentation(QWidget& presentedView, QWidget& presentingView);
    // Fades `dismissedView` out while it shrinks to a strip slideOffset below the top of
    // `fromView`, then removes it from its parent (its opacity back to full) and the
    // overlay.
    void animateDismissal(QWidget& dismissedView, QWidget& fromView);

    // Jumps the running fades to their end, completions included.
    void finishAnimations();

    // A view's opacity as the fades set it.
    static qreal alpha(const QWidget& view);

    // The shared overlay over the content of `view`'s window, behind a presented panel
    // or a sheet: the one up (kept in dimmingOverlay()) is used unchanged, else one is
    // made, stored there and shown.
    static QWidget& putUpDimmingOverlay(QWidget& view);
    // Removes the overlay that is up, if any, and empties dimmingOverlay().
    static void takeDownDimmingOverlay();

private:
    static QGraphicsOpacityEffect& opacityEffect(QWidget& view);
    static QWidget* makeDimmingOverlay(QWidget& contentView);
    void fade(QWidget& view, qreal alpha, const QRect& frame, std::function<void()> completion);
};
