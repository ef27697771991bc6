#pragma once

#include "Screens/Common/ElidedLabel.h"

#include <QColor>
#include <QLabel>

// The labels of the alert windows that fit long texts into their room. They
// draw their text as it stands (never as markup); where it is cut, the whole text
// is their tool tip.

// Shows `text` in the word-wrapped `label`, each word wider than `width` cut in
// the middle with an ellipsis; where one is, the whole text is its tool tip.
void setWrappedText(QLabel& label, const QString& text, int width);

// The shared shortened label, middle-eliding, that keeps its tool tip set (the whole
// text where it is cut) as its text and width change.
class ElidingLabel : public ElidedLabel {
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    void setText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// A label drawn as a rounded badge in `fill`, as wide as its text; a text too long
// for the room it gets ends with an ellipsis.
class BadgeLabel : public QLabel {
public:
    BadgeLabel(const QColor& fill, QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const;
    QString shownText() const;

    QColor fill_;
};
