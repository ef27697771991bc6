#pragma once

#include "Platform/Dispatch/Dispatch.h"

#include <memory>

// Work items that run one after another, in the order given, on the global
// queue. Items already queued run even when the queue object has ended.
class SerialQueue {
public:
    SerialQueue();
    void async(platform::dispatch::Task task);

private:
    struct State;
    std::shared_ptr<State> state_;
};
