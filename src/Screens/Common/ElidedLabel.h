#pragma once

#include <QLabel>

// A one-line label for long texts such as paths: it keeps its whole text (text()
// returns it) and draws it as plain text, shortened with "…" where it does not fit,
// without asking for more width; a shortened text shows whole in its tool tip.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideMiddle, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    // The text as drawn: whole, or shortened to the label's width.
    QString shownText() const;

private:
    Qt::TextElideMode mode_;
};
