#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <optional>

// The items one alert window is handed, shown one at a time in the order they
// came: an item that comes while another is shown waits its turn, and one equal
// to an item shown or waiting is that same alert and is dropped. A round runs
// from the first item shown to the last one dealt with.
template <typename Item>
class AlertQueue {
public:
    // The item to show now, or none when one is shown already (`item` waits).
    std::optional<Item> arrive(Item item)
    {
        if (shown_) {
            if (!(*shown_ == item) && std::find(waiting_.begin(), waiting_.end(), item) == waiting_.end())
                waiting_.push_back(std::move(item));
            return std::nullopt;
        }
        shown_ = std::move(item);
        position_ = 1;
        return shown_;
    }

    // The shown item was dealt with: the next one to show, or none when none
    // waits (the round ends).
    std::optional<Item> next()
    {
        if (waiting_.empty()) {
            shown_.reset();
            position_ = 0;
            return std::nullopt;
        }
        shown_ = std::move(waiting_.front());
        waiting_.pop_front();
        ++position_;
        return shown_;
    }

    const std::optional<Item>& shown() const { return shown_; }
    // The shown item's place in its round, from 1, and the round's item count.
    std::size_t position() const { return position_; }
    std::size_t count() const { return position_ + waiting_.size(); }

private:
    std::optional<Item> shown_;
    std::deque<Item> waiting_;
    std::size_t position_ = 0;
};
