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

// Every change to a record or the lock of the folder, and the folder's own end.
constexpr std::uint32_t kRegistryEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE |
                                          IN_DELETE_SELF | IN_MOVE_SELF;

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

// Reads every queued event (they only say "look again"); false once the watch
// itself has ended (the folder went away).
bool drainEvents(int fd)
{
    alignas(inotify_event) std::array<char, 4096> buffer;
    bool watchEnded = false;
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            watchEnded = watchEnded || (event->mask & IN_IGNORED);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    return !watchEnded;
}

int millisecondsUntil(std::chrono::steady_clock::time_point until)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 24 * 3600 * 1000));
}

} // namespace

SupervisorWakeups::SupervisorWakeups(const std::filesystem::path& registryFolder)
    : registryWatch_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (registryWatch_ >= 0 && ::inotify_add_watch(registryWatch_, registryFolder.c_str(), kRegistryEvents) < 0)
        closeFd(registryWatch_);
}

SupervisorWakeups::~SupervisorWakeups()
{
    closeFd(registryWatch_);
    closeFd(processFd_);
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
    for (const int fd : {registryWatch_, processFd_})
        if (fd >= 0)
            watched[count++] = {fd, POLLIN, 0};
    const bool blind = registryWatch_ < 0 || (followingProcess_ && processFd_ < 0);
    int timeout = blind ? static_cast<int>(kBlindLookInterval.count()) : -1;
    if (until)
        timeout = timeout < 0 ? millisecondsUntil(*until) : std::min(timeout, millisecondsUntil(*until));
    const bool registryChanged =
        ::poll(watched.data(), count, timeout) > 0 && registryWatch_ >= 0 && (watched[0].revents & POLLIN);
    if (registryChanged && !drainEvents(registryWatch_))
        closeFd(registryWatch_);
}

} // namespace platform::launchd
