#include "Platform/Launchd/SupervisorWakeups.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace platform::launchd {

namespace {

constexpr auto kBlindLookInterval = std::chrono::milliseconds(50);

// A write of the record replaces its file: the replaced file loses its link
// (IN_ATTRIB) and goes (IN_DELETE_SELF); an erase unlinks it.
constexpr std::uint32_t kRecordEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

int openProcessFd(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Reads every queued event: they only say "look again".
void drainEvents(int fd)
{
    alignas(inotify_event) std::array<char, 4096> buffer;
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
}

int millisecondsUntil(std::chrono::steady_clock::time_point until)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 24 * 3600 * 1000));
}

} // namespace

SupervisorWakeups::SupervisorWakeups(std::filesystem::path record)
    : record_(std::move(record)), inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (!watchRecord())
        closeFd(inotify_);
}

SupervisorWakeups::~SupervisorWakeups()
{
    closeFd(inotify_);
    closeFd(processFd_);
}

bool SupervisorWakeups::watchRecord()
{
    const int watch = ::inotify_add_watch(inotify_, record_.c_str(), kRecordEvents);
    if (recordWatch_ >= 0 && watch != recordWatch_)
        ::inotify_rm_watch(inotify_, recordWatch_); // the replaced file's
    recordWatch_ = watch;
    return watch >= 0;
}

void SupervisorWakeups::followProcess(pid_t child)
{
    closeFd(processFd_);
    followingProcess_ = child > 0;
    if (followingProcess_)
        processFd_ = openProcessFd(child);
}

void SupervisorWakeups::wait(std::optional<std::chrono::steady_clock::time_point> until)
{
    std::array<pollfd, 2> watched{};
    nfds_t count = 0;
    for (const int fd : {inotify_, processFd_})
        if (fd >= 0)
            watched[count++] = {fd, POLLIN, 0};
    const bool blind = inotify_ < 0 || (followingProcess_ && processFd_ < 0);
    int timeout = blind ? static_cast<int>(kBlindLookInterval.count()) : -1;
    if (until)
        timeout = timeout < 0 ? millisecondsUntil(*until) : std::min(timeout, millisecondsUntil(*until));
    const bool recordChanged = ::poll(watched.data(), count, timeout) > 0 && inotify_ >= 0 &&
                               (watched[0].revents & POLLIN);
    if (!recordChanged)
        return;
    drainEvents(inotify_);
    if (!watchRecord())
        closeFd(inotify_); // the record is gone: the caller finds that and leaves
}

} // namespace platform::launchd
