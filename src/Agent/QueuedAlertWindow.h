#pragma once

#include "Agent/AlertQueue.h"
#include "Agent/AlertWindow.h"
#include "Agent/QuitWatch.h"

#include <QCloseEvent>

#include <optional>

// An alert window that shows the items it is handed one at a time, in the order
// they came (AlertQueue), with the shown one's place among them in its header.
// Closing it deals with the shown item: Close, or the window's own action that
// ends with a close, shows the next waiting item and the window stays; after the
// last one it closes. A quit closes it as it is, dealing with nothing.
template <typename Item>
class QueuedAlertWindow : public AlertWindow {
protected:
    explicit QueuedAlertWindow(int width) : AlertWindow(width), quitWatch_(new QuitWatch(this)) {}

    // Shows `item` now, or keeps it until the user has dealt with those before it.
    void offer(Item item)
    {
        if (const auto now = queue_.arrive(std::move(item)))
            showItem(*now);
        showQueuePlace(queue_.position(), queue_.count());
    }

    const std::optional<Item>& shownItem() const { return queue_.shown(); }

    virtual void showItem(const Item& item) = 0;
    // The user dealt with the shown `item`; called before the next one shows.
    virtual void dismissed(const Item&) {}

    void closeEvent(QCloseEvent* event) override
    {
        if (!quitWatch_->isQuitting() && dismissShownItem())
            event->ignore();
        else
            AlertWindow::closeEvent(event);
    }

private:
    // Shows the next waiting item and answers true, or answers false when none waits.
    bool dismissShownItem()
    {
        if (queue_.shown())
            dismissed(*queue_.shown());
        const auto next = queue_.next();
        if (next) {
            showItem(*next);
            showQueuePlace(queue_.position(), queue_.count());
        }
        return next.has_value();
    }

    AlertQueue<Item> queue_;
    QuitWatch* quitWatch_;
};
