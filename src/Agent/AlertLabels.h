#pragma once

#include <QColor>
#include <QLabel>

// The two labels of the alert windows that fit long texts into their room.

// A label that shows a text too long for it with an ellipsis in the middle; its
// text stays whole (and is its tool tip).
class ElidingLabel : public QLabel {
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label drawn as a rounded badge in `fill`, as wide as its text; a text too long
// for the room it gets ends with an ellipsis (and is its tool tip).
class BadgeLabel : public QLabel {
public:
    BadgeLabel(const QColor& fill, QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};
