#include "Controls/IndeterminateAnimation.h"

IndeterminateAnimation::IndeterminateAnimation(QWidget* parent) : BaseView(parent) {}

void IndeterminateAnimation::setAnimate(bool animate)
{
    if (animate == animate_)
        return;
    animate_ = animate;
    if (animate) {
        setHidden(false);
        startAnimation();
    } else {
        if (!displayAfterAnimationEnds_)
            setHidden(true);
        stopAnimation();
    }
}
