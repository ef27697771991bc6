#include "Controls/DeterminateAnimation.h"

#include "Controls/Animations.h"

#include <cmath>

DeterminateAnimation::DeterminateAnimation(QWidget* parent) : BaseView(parent) {}

void DeterminateAnimation::setProgress(qreal progress)
{
    if (!std::isfinite(progress))
        return;
    progress_ = progress;
    updateProgress();
}

void DeterminateAnimation::finishAnimations()
{
    controls::finishAnimations(this);
}
