#pragma once

#include <QColor>
#include <QScrollArea>

// A scroll view filled with one flat background colour: behind its content, and
// around and between its scroll bars.
class TableScrollView : public QScrollArea {
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)

public:
    explicit TableScrollView(QWidget* parent = nullptr);

    QColor bgColor() const { return bgColor_; }
    void setBgColor(const QColor& color);

protected:
    bool event(QEvent* event) override;

private:
    QColor bgColor_{20, 20, 20};
};
