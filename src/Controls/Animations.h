#pragma once

#include <QEasingCurve>
#include <QVariant>

#include <functional>

class QObject;
class QVariantAnimation;

namespace controls {

// One animation of a painted value, a child of `owner` (so it ends with it), started at
// once and deleted when it stops. `apply` receives the value of every frame; the last
// frame is exactly `to`. A length that is not a positive number counts as 0.25 s. The name tells the animated property, as a layer's key path.
QVariantAnimation* animateValue(QObject* owner, const QString& name, const QVariant& from,
                                const QVariant& to, double seconds,
                                std::function<void(const QVariant&)> apply,
                                const QEasingCurve& curve = QEasingCurve::Linear);

// The platform's ease-out timing: the cubic Bézier curve with control points
// (0, 0) and (0.58, 1).
QEasingCurve easeOutCurve();

// Jumps every running finite animation owned by `owner` (and those their completions
// start) to its end, so that its last frame and completion run now.
void finishAnimations(QObject* owner);

// The names of the animations of `owner` that are running now.
QStringList runningAnimationNames(const QObject* owner);

// Stops and deletes the running animations of `owner`; their values stay as they are.
void removeAnimations(QObject* owner);

} // namespace controls
