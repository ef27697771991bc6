#pragma once

#include <atomic>

// One definitions update at a time, across the application and the agent: an
// exclusive lock on a file of the support folder, held from construction until
// release() or destruction. Construction blocks while another update holds it.
class UpdateLock {
public:
    UpdateLock();
    ~UpdateLock();
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

    // Lets the next update go on; later calls do nothing.
    void release();

private:
    std::atomic<int> fd_ = -1;
};
