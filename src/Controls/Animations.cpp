#include "Controls/Animations.h"

#include <QAbstractAnimation>
#include <QPointF>
#include <QPointer>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace controls {

namespace {

// As a layer does, an animation without a positive length runs for a quarter second.
int milliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        seconds = 0.25;
    return static_cast<int>(std::lround(std::min(seconds, 3600.0) * 1000));
}

// The animations owned by `owner` that run on their own (not as members of a group).
QList<QAbstractAnimation*> topLevelRunning(const QObject* owner)
{
    QList<QAbstractAnimation*> result;
    for (auto* animation : owner->findChildren<QAbstractAnimation*>()) {
        if (animation->group() == nullptr && animation->state() == QAbstractAnimation::Running)
            result.append(animation);
    }
    return result;
}

} // namespace

QEasingCurve easeOutCurve()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return curve;
}

QVariantAnimation* animateValue(QObject* owner, const QString& name, const QVariant& from,
                                const QVariant& to, double seconds,
                                std::function<void(const QVariant&)> apply,
                                const QEasingCurve& curve)
{
    auto* animation = new QVariantAnimation(owner);
    animation->setObjectName(name);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setEasingCurve(curve);
    animation->setDuration(milliseconds(seconds));
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [apply](const QVariant& value) { apply(value); });
    QObject::connect(animation, &QAbstractAnimation::finished, owner,
                     [apply, to] { apply(to); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

void finishAnimations(QObject* owner)
{
    // A completion may start further animations; a bounded number of rounds finishes those.
    for (int round = 0; round < 16; ++round) {
        QList<QPointer<QAbstractAnimation>> finite;
        for (auto* animation : topLevelRunning(owner)) {
            if (animation->totalDuration() >= 0)
                finite.append(animation);
        }
        if (finite.isEmpty())
            return;
        for (const auto& animation : finite) {
            if (animation && animation->state() == QAbstractAnimation::Running)
                animation->setCurrentTime(animation->totalDuration());
        }
    }
}

QStringList runningAnimationNames(const QObject* owner)
{
    QStringList names;
    for (auto* animation : topLevelRunning(owner))
        names.append(animation->objectName());
    return names;
}

void removeAnimations(QObject* owner)
{
    // Every animation here deletes itself when it stops.
    for (auto* animation : topLevelRunning(owner))
        animation->stop();
}

} // namespace controls
