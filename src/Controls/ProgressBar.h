#pragma once

#include "Controls/DeterminateAnimation.h"

// A rounded horizontal bar that fills from the left, 3 points inside its outline
// and drawn above it. The fill follows `progress` unclamped (1.2 overflows the
// outline by a fifth), animated over 0.5 s (ease-out) when `animated`. Main
// thread only.
class ProgressBar : public DeterminateAnimation {
    Q_OBJECT
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);

    // The outline and the filled part as painted now.
    QRectF borderRect() const;
    QRectF progressRect() const;

protected:
    void configureLayers() override;
    void notifyViewRedesigned() override;
    void updateProgress() override;
    qreal backgroundCornerRadius() const override { return height() * 0.5; }
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr qreal kInset = 3.0;

    QColor borderColor_{Qt::black};
    qreal shownProgress_ = 0;
};
