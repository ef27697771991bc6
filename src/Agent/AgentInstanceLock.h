#pragma once

// One agent at a time per user: an exclusive lock on a file of the support
// folder, held for the object's lifetime (and released by the system when the
// process ends, however it ends).
class AgentInstanceLock {
public:
    // Tries once, without waiting.
    AgentInstanceLock();
    ~AgentInstanceLock();
    AgentInstanceLock(const AgentInstanceLock&) = delete;
    AgentInstanceLock& operator=(const AgentInstanceLock&) = delete;

    // False when another agent holds the lock (or the lock file cannot be made).
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
