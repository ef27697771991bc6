#pragma once

#include <QColor>
#include <QWidget>

// A painted view with a background, a foreground and a corner radius; the base of the
// progress views and the spinner. Subclasses build their parts in configureLayers() and
// restyle them in notifyViewRedesigned(), which every property setter calls at once.
// Main thread only.
class BaseView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor background READ background WRITE setBackground)
    Q_PROPERTY(QColor foreground READ foreground WRITE setForeground)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)

public:
    explicit BaseView(QWidget* parent = nullptr);

    QColor background() const { return background_; }
    void setBackground(const QColor& color);
    QColor foreground() const { return foreground_; }
    void setForeground(const QColor& color);
    qreal cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(qreal radius);

protected:
    // A subclass that replaces configureLayers() calls it at the end of its constructor.
    virtual void configureLayers();
    virtual void notifyViewRedesigned();
    // The radius of the painted background.
    virtual qreal backgroundCornerRadius() const { return cornerRadius_; }

    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_{QColor::fromRgbF(0.344921875f, 0.4078125f, 0.462890625f)};
    QColor foreground_{QColor::fromRgbF(0.258984375f, 0.678515625f, 0.415625f)};
    qreal cornerRadius_ = 5.0;
};
