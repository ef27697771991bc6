#include "Controls/ViewPinning.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

// The constraints of one pin: follows the container's size while the view is its child.
class EdgePin : public QObject {
public:
    EdgePin(QWidget& view, QWidget& container, int top)
        : QObject(&view), view_(&view), container_(&container), top_(top)
    {
        setObjectName(kName);
        container.installEventFilter(this);
        view.installEventFilter(this);
        apply();
    }

    static constexpr const char* kName = "edgePin";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == view_ && event->type() == QEvent::ParentChange && view_->parentWidget() != container_)
            deleteLater();
        else if (watched == container_ && event->type() == QEvent::Resize)
            apply();
        return false;
    }

private:
    void apply()
    {
        if (container_ && view_->parentWidget() == container_)
            view_->setGeometry(0, top_, container_->width(), std::max(0, container_->height() - top_));
    }

    QWidget* view_;
    QPointer<QWidget> container_;
    int top_;
};

} // namespace

void unpinFromSuperview(QWidget& view)
{
    for (auto* pin : view.findChildren<EdgePin*>(EdgePin::kName, Qt::FindDirectChildrenOnly))
        delete pin;
}

void pinToSuperviewEdges(QWidget& view, QWidget& container, int top)
{
    unpinFromSuperview(view);
    new EdgePin(view, container, top);
}
