#pragma once

#include <string>
#include <utility>

namespace platform {

// An advisory lock (flock) on a lock file, held for the object's lifetime.
// Every lock opens the file anew, so two locks in one process exclude each other too.
class FileLock {
public:
    enum class Mode { Shared, Exclusive };
    // Whether to wait while another holder keeps the lock, or give up at once.
    enum class Wait { UntilFree, Never };

    // Creates the lock file when missing; held() tells whether the lock was taken.
    FileLock(const std::string& lockPath, Mode mode, Wait wait = Wait::UntilFree);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace platform
