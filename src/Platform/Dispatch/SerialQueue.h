#pragma once

#include "Platform/Dispatch/Dispatch.h"

#include <memory>

namespace platform::dispatch {

// Work items that run one after another, in the order given, on the global
// queue. Items already queued run even when the queue object has ended, unless
// cancelAndWait() dropped them.
class SerialQueue {
public:
    SerialQueue();
    void async(Task task);

    // Drops the items not begun yet and returns once the running one, if any,
    // has returned and released what it held. Never called from an item of this
    // queue. Items queued afterwards run as usual.
    void cancelAndWait();

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace platform::dispatch
