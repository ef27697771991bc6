#pragma once

#include "Controls/KeyframeAnimation.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <map>

class QVariantAnimation;

// A layer that carries keyframe animations of its rotation, by key, as a layer holds
// them: adding under a key in use replaces the animation there; removing them all
// returns the rotation to its resting value 0. Calls `changed` on every new frame.
class AnimationLayer : public QObject {
    Q_OBJECT

public:
    explicit AnimationLayer(QObject* parent = nullptr);

    void addAnimation(const KeyframeAnimation& animation, const QString& key);
    void removeAllAnimations();
    QStringList animationKeys() const;

    // The rotation shown now, in radians (counter-clockwise on screen when positive).
    double rotation() const { return rotation_; }

signals:
    void changed();

private:
    void show(const KeyframeAnimation& animation, double fraction);

    std::map<QString, QPointer<QVariantAnimation>> animations_;
    double rotation_ = 0;
};
