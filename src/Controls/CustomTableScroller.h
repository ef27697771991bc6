#pragma once

#include <QColor>
#include <QScrollBar>

// A dark scroll bar without arrows, whose rounded knob, 9 points thick whatever
// the bar's thickness, travels the bar's whole length.
class CustomTableScroller : public QScrollBar {
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)
    Q_PROPERTY(QColor KnobColor READ knobColor WRITE setKnobColor)

public:
    explicit CustomTableScroller(Qt::Orientation orientation, QWidget* parent = nullptr);

    QColor bgColor() const { return bgColor_; }
    void setBgColor(const QColor& color);
    QColor knobColor() const { return knobColor_; }
    void setKnobColor(const QColor& color);

    // The knob as painted now: the slider's extent along the bar, 9 points across it.
    QRectF knobRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor bgColor_{20, 20, 20};
    QColor knobColor_{34, 34, 34};
};
