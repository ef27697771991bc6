#pragma once

#include <atomic>
#include <chrono>

// One definitions update at a time, across the application and the agent: an
// exclusive lock on a file of the support folder, held from construction until
// release() or destruction. Construction waits while another update holds it, but
// no longer than maximumWait; held() then tells whether the lock was taken.
class UpdateLock {
public:
    // Longer than another program's version check may take, so that two checks
    // never fail each other; a download that holds the lock longer fails the wait.
    static constexpr std::chrono::milliseconds maximumWait = std::chrono::seconds(40);

    UpdateLock();
    ~UpdateLock();
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

    bool held() const { return fd_ >= 0; }

    // Lets the next update go on; later calls do nothing.
    void release();

    // Tests wait this long in place of maximumWait.
    static void setMaximumWaitForTesting(std::chrono::milliseconds wait);

private:
    std::atomic<int> fd_ = -1;
};
