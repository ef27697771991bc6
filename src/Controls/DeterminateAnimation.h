#pragma once

#include "Controls/BaseView.h"

// A view that shows a known fraction. A progress that is not a finite number is
// ignored: the view keeps showing the last valid one.
class DeterminateAnimation : public BaseView {
    Q_OBJECT
    Q_PROPERTY(bool animated READ animated WRITE setAnimated)
    Q_PROPERTY(qreal progress READ progress WRITE setProgress)

public:
    explicit DeterminateAnimation(QWidget* parent = nullptr);

    // Whether a change of progress animates (read by the subclasses).
    bool animated() const { return animated_; }
    void setAnimated(bool animated) { animated_ = animated; }
    qreal progress() const { return progress_; }
    void setProgress(qreal progress);

    // Jumps a running progress animation to its end.
    void finishAnimations();

protected:
    virtual void updateProgress() {}

private:
    bool animated_ = true;
    qreal progress_ = 0;
};
