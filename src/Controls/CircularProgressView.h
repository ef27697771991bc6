#pragma once

#include "Controls/DeterminateAnimation.h"

#include <QString>

// A ring that fills clockwise from the top, with the percentage in its middle.
// The ring shows `progress` clamped to 0...1; the text shows its hundredfold
// truncated ("150%", "-20%"). Changes animate over 0.5 s when `animated`.
// Main thread only.
class CircularProgressView : public DeterminateAnimation {
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)
    Q_PROPERTY(qreal strokeWidth READ strokeWidth WRITE setStrokeWidth)
    Q_PROPERTY(bool showPercent READ showPercent WRITE setShowPercent)

public:
    explicit CircularProgressView(QWidget* parent = nullptr);

    QColor bgColor() const { return bgColor_; }
    void setBgColor(const QColor& color);
    // -1 derives the width from the view's width.
    qreal strokeWidth() const { return strokeWidth_; }
    void setStrokeWidth(qreal width);
    bool showPercent() const { return showPercent_; }
    void setShowPercent(bool show);

    // The geometry and look as painted now.
    qreal ringRadius() const { return width() * 0.5 * 0.75; }
    qreal progressLineWidth() const;
    qreal trackLineWidth() const { return progressLineWidth() * 0.5; }
    qreal strokeEnd() const { return strokeEnd_; }
    QString percentText() const { return percentText_; }
    QColor percentTextColor() const { return percentColor_; }
    qreal percentFontSize() const { return width() * 0.2; }

protected:
    void configureLayers() override;
    void notifyViewRedesigned() override;
    void updateProgress() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF ringRect() const;
    void paintPercent(QPainter& painter) const;

    QColor bgColor_{QColor::fromRgbF(40 / 255.0f, 40 / 255.0f, 40 / 255.0f)};
    qreal strokeWidth_ = -1;
    bool showPercent_ = true;
    qreal strokeEnd_ = 0;
    QString percentText_{"0%"};
    QColor percentColor_;
};
