#pragma once

#include "Controls/AnimationLayer.h"
#include "Controls/IndeterminateAnimation.h"
#include "Controls/KeyframeAnimation.h"

#include <QRectF>
#include <QSizeF>

#include <vector>

// The busy indicator: a ring of rounded bars of fading opacity, turned in steps so
// that the brightest bar jumps from position to position. `animate` shows it and adds
// `animation()` to `containerLayer()` under "rotation"; switching it off removes every
// animation of the container. The bar count is kept within 1...360 (a count outside
// would leave no whole step between bars). Main thread only.
class Spinner : public IndeterminateAnimation {
    Q_OBJECT
    Q_PROPERTY(QSizeF starSize READ starSize WRITE setStarSize)
    Q_PROPERTY(bool roundedCorners READ roundedCorners WRITE setRoundedCorners)
    Q_PROPERTY(qreal distance READ distance WRITE setDistance)
    Q_PROPERTY(int starCount READ starCount WRITE setStarCount)
    Q_PROPERTY(double duration READ duration WRITE setDuration)
    Q_PROPERTY(bool clockwise READ clockwise WRITE setClockwise)

public:
    // One bar: its frame before it is turned, its turn (radians, the angle of its
    // position measured clockwise on screen from the top when the spinner turns
    // counter-clockwise) and its opacity.
    struct Star {
        QRectF frame;
        double angle = 0;
        qreal opacity = 1;
        qreal cornerRadius = 0;
    };

    explicit Spinner(QWidget* parent = nullptr);

    QSizeF starSize() const { return starSize_; }
    void setStarSize(const QSizeF& size);
    bool roundedCorners() const { return roundedCorners_; }
    void setRoundedCorners(bool rounded);
    qreal distance() const { return distance_; }
    void setDistance(qreal distance);
    int starCount() const { return starCount_; }
    void setStarCount(int count);
    double duration() const { return animation_.duration; }
    void setDuration(double seconds);
    bool clockwise() const { return clockwise_; }
    void setClockwise(bool clockwise);

    AnimationLayer& containerLayer() { return containerLayer_; }
    const KeyframeAnimation& animation() const { return animation_; }
    const std::vector<Star>& starList() const { return starList_; }

protected:
    void configureLayers() override;
    void notifyViewRedesigned() override;
    void startAnimation() override;
    void stopAnimation() override;
    void paintEvent(QPaintEvent* event) override;

private:
    AnimationLayer containerLayer_;
    std::vector<Star> starList_;
    KeyframeAnimation animation_{"transform.rotation", {}, 1.0};
    QSizeF starSize_{6, 15};
    bool roundedCorners_ = true;
    qreal distance_ = 20;
    int starCount_ = 10;
    bool clockwise_ = false;
};
