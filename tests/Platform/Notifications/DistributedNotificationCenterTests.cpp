#include "Platform/Notifications/DistributedNotificationCenter.h"

#include "Platform/Dispatch/Dispatch.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using platform::DistributedNotificationCenter;
using Received = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kAgent = "com.tarnwicklabs.activeguardsentinelwarden";

DistributedNotificationCenter& center()
{
    return DistributedNotificationCenter::defaultCenter();
}

fs::path socketFolder()
{
    return testsupport::homeFolder() / "Library/Caches/DistributedNotifications";
}

platform::ObservationToken record(const std::string& name, const std::string& object, Received& into)
{
    return center().addObserver(name, object, [&into](const std::string& name, const std::string& object) {
        into.emplace_back(name, object);
    });
}

// A process that posts once `go` is written to it, then ends. It is made before
// this process observes anything, so it carries no observation of its own.
class PostingChild {
public:
    explicit PostingChild(std::vector<std::pair<std::string, std::string>> posts)
    {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[1]);
            char go;
            if (::read(fds[0], &go, 1) == 1)
                for (const auto& [name, object] : posts)
                    center().post(name, object);
            ::_exit(0);
        }
        ::close(fds[0]);
        go_ = fds[1];
    }

    void post() { EXPECT_EQ(::write(go_, "g", 1), 1); }

    ~PostingChild()
    {
        ::close(go_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }

private:
    pid_t pid_ = -1;
    int go_ = -1;
};

class DistributedNotificationCenterTest : public testsupport::PlatformRootTest {};

TEST_F(DistributedNotificationCenterTest, PostFromAnotherProcessReachesMatchingObserversOnly)
{
    PostingChild child({{"ObserveAGSQ", "com.example.other"}, {"ObserveAGSQ", kAgent}});
    Received received;
    auto token = record("ObserveAGSQ", kAgent, received);
    child.post();
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return !received.empty(); }, 10s));
    platform::dispatch::runMainLoopFor(20ms);
    EXPECT_EQ(received, (Received{{"ObserveAGSQ", kAgent}}));
}

TEST_F(DistributedNotificationCenterTest, OwnPostArrivesOnTheMainQueueForNameAndAnyObject)
{
    Received exact;
    Received anyObject;
    Received otherName;
    auto exactToken = record("ObserveAGSQCrashReport", kAgent, exact);
    auto anyToken = record("ObserveAGSQCrashReport", "", anyObject);
    auto otherToken = record("ObserveAGSQ", "", otherName);
    bool onMain = false;
    auto threadToken = center().addObserver("ObserveAGSQCrashReport", "", [&](const auto&, const auto&) {
        onMain = platform::dispatch::isMainThread();
    });

    center().post("ObserveAGSQCrashReport", kAgent);
    EXPECT_TRUE(exact.empty());
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return !anyObject.empty(); }, 10s));
    EXPECT_EQ(exact, (Received{{"ObserveAGSQCrashReport", kAgent}}));
    EXPECT_EQ(anyObject, exact);
    EXPECT_TRUE(otherName.empty());
    EXPECT_TRUE(onMain);
}

TEST_F(DistributedNotificationCenterTest, PostRemovesSocketsOfEndedProcessesAndEndedObservationsLeave)
{
    // A socket file whose process is gone: bound, then closed without removal.
    fs::create_directories(socketFolder());
    const auto stale = socketFolder() / "999999";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, stale.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    Received received;
    auto token = record("ObserveAGSQ", "", received);
    const auto own = socketFolder() / std::to_string(::getpid());
    EXPECT_TRUE(fs::exists(own));
    center().post("ObserveAGSQ", kAgent);
    EXPECT_FALSE(fs::exists(stale));

    token.reset();
    EXPECT_FALSE(fs::exists(own));
    platform::dispatch::runMainLoopFor(20ms);
    EXPECT_TRUE(received.empty());
}

} // namespace
