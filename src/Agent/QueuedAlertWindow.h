#pragma once

#include "Agent/AlertQueue.h"
#include "Agent/AlertWindow.h"

#include <optional>

// An alert window that shows the items it is handed one at a time, in the order
// they came (AlertQueue), with the shown one's place among them in its header.
template <typename Item>
class QueuedAlertWindow : public AlertWindow {
protected:
    using AlertWindow::AlertWindow;

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

    bool dismissShownItem() override
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

private:
    AlertQueue<Item> queue_;
};
