#pragma once

#include <QColor>
#include <QScrollArea>

// A scroll view with a flat background colour behind its content.
class TableScrollView : public QScrollArea {
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)

public:
    explicit TableScrollView(QWidget* parent = nullptr);

    QColor bgColor() const { return bgColor_; }
    void setBgColor(const QColor& color);

private:
    QColor bgColor_{20, 20, 20};
};
