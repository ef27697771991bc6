#include "Controls/AnimationLayer.h"

#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {

// A layer's default duration stands in for one that is not a positive number.
int cycleMilliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        seconds = 0.25;
    return std::max(1, static_cast<int>(std::lround(std::min(seconds, 86400.0) * 1000)));
}

} // namespace

AnimationLayer::AnimationLayer(QObject* parent) : QObject(parent) {}

void AnimationLayer::addAnimation(const KeyframeAnimation& animation, const QString& key)
{
    if (auto old = animations_[key])
        delete old;
    auto* player = new QVariantAnimation(this);
    player->setStartValue(0.0);
    player->setEndValue(1.0);
    player->setDuration(cycleMilliseconds(animation.duration));
    player->setLoopCount(-1);
    connect(player, &QVariantAnimation::valueChanged, this,
            [this, animation](const QVariant& value) { show(animation, value.toDouble()); });
    animations_[key] = player;
    show(animation, 0);
    player->start();
}

void AnimationLayer::removeAllAnimations()
{
    for (auto& [key, player] : animations_)
        delete player.data();
    animations_.clear();
    rotation_ = 0;
    emit changed();
}

QStringList AnimationLayer::animationKeys() const
{
    QStringList keys;
    for (const auto& [key, player] : animations_)
        keys.append(key);
    return keys;
}

void AnimationLayer::show(const KeyframeAnimation& animation, double fraction)
{
    if (animation.values.empty())
        return;
    const auto count = animation.values.size();
    const auto index = std::min(count - 1, static_cast<std::size_t>(std::max(0.0, fraction) * count));
    rotation_ = animation.values[index];
    emit changed();
}
