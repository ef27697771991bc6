#pragma once

#include <QLabel>

// A one-line label for long texts such as paths: it keeps its whole text (text()
// returns it) and draws it shortened with "…" where it does not fit, without asking
// for more width.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideMiddle, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::TextElideMode mode_;
};
