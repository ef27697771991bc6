#pragma once

#include <QColor>
#include <QLabel>

// The two labels of the alert windows that fit long texts into their room. Both
// draw their text as it stands (never as markup); where it is cut, the whole text
// is their tool tip.

// `text` as a tool tip shows it as it stands (a tool tip takes a text that looks
// like markup as markup).
QString plainToolTip(const QString& text);

// A label that shows a text too long for it with an ellipsis in the middle.
class ElidingLabel : public QLabel {
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString shownText() const;
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
