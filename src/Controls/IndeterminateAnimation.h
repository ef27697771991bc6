#pragma once

#include "Controls/BaseView.h"

// A view with an endless animation: `animate` shows it and starts the animation, and
// stops it again, hiding the view unless displayAfterAnimationEnds is set.
class IndeterminateAnimation : public BaseView {
    Q_OBJECT
    Q_PROPERTY(bool displayAfterAnimationEnds READ displayAfterAnimationEnds WRITE setDisplayAfterAnimationEnds)

public:
    explicit IndeterminateAnimation(QWidget* parent = nullptr);

    bool displayAfterAnimationEnds() const { return displayAfterAnimationEnds_; }
    void setDisplayAfterAnimationEnds(bool display) { displayAfterAnimationEnds_ = display; }
    bool animate() const { return animate_; }
    void setAnimate(bool animate);

protected:
    virtual void startAnimation() {}
    virtual void stopAnimation() {}

private:
    bool displayAfterAnimationEnds_ = false;
    bool animate_ = false;
};
