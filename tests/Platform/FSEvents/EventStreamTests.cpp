#include "Platform/FSEvents/EventStream.h"
#include "Platform/FSEvents/WatchTree.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace platform::fsevents;

namespace {

class EventStreamTest : public testsupport::PlatformRootTest {
protected:
    // A delivery queue that runs batches at once on the stream's own thread.
    std::unique_ptr<EventStream> makeStream(std::vector<std::string> roots)
    {
        return EventStream::create(
            std::move(roots),
            [this](const Event& event) {
                std::lock_guard lock(mutex);
                received.push_back(event);
                changed.notify_all();
            },
            [](std::function<void()> task) { task(); });
    }

    bool waitFor(const fs::path& path, std::uint32_t flags)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] {
            for (const auto& event : received)
                if (event.path == path.string() && (event.flags & flags) == flags)
                    return true;
            return false;
        });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Event> received;
};

TEST_F(EventStreamTest, DeliversOnTheGivenQueue)
{
    const auto documents = testsupport::homeFolder() / "Documents";
    auto stream = makeStream({(testsupport::homeFolder() / "Absent/root").string(), documents.string() + "//"});
    ASSERT_TRUE(stream);
    ASSERT_TRUE(stream->start());
    EXPECT_FALSE(stream->start());

    const auto folder = documents / "made";
    fs::create_directory(folder);
    ASSERT_TRUE(waitFor(folder, kItemCreated | kItemIsDir));
    fs::remove(folder);
    ASSERT_TRUE(waitFor(folder, kItemRemoved | kItemIsDir));
}

TEST(WatchTreeTest, QueueOverflowMakesNoEventAndIsTakenOnce)
{
    const int fd = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(fd, 0);
    WatchTree tree(fd);
    inotify_event overflow{};
    overflow.wd = -1;
    overflow.mask = IN_Q_OVERFLOW;
    EXPECT_TRUE(tree.translate(overflow).empty());
    EXPECT_TRUE(tree.translate(overflow).empty());
    EXPECT_EQ(tree.takeNotices(),
              std::vector<std::string>{"the system's inotify event queue overflowed; some changes are not seen"});
    EXPECT_TRUE(tree.takeNotices().empty());
    close(fd);
}

// In a new user namespace of this (forked, single-threaded) process, at most
// `watches` inotify watches; false when the system allows no such namespace.
bool limitWatchesInANewUserNamespace(int watches)
{
    const auto uid = getuid(), gid = getgid();
    if (unshare(CLONE_NEWUSER) != 0)
        return false;
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    std::ofstream limit("/proc/sys/user/max_inotify_watches");
    return static_cast<bool>(limit << watches << std::flush);
}

// A chain of folders, watched under a lowered watch limit.
class WatchLimitTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        root = testsupport::platformRootFolder() / "chain";
        fs::create_directories(root / "a" / "b" / "c");
        fs::create_directories(other);
    }

    // Runs `body` in a forked child whose user namespace allows at most two inotify
    // watches; the child's exit status is what the body returns. Null when the
    // system allows no such namespace.
    static std::optional<int> underWatchLimit(const std::function<int()>& body)
    {
        constexpr int cannotLimit = 77;
        const pid_t child = fork();
        if (child == 0)
            _exit(limitWatchesInANewUserNamespace(2) ? body() : cannotLimit);
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return -1;
        if (WEXITSTATUS(status) == cannotLimit)
            return std::nullopt;
        return WEXITSTATUS(status);
    }

    fs::path root;
    fs::path other = testsupport::platformRootFolder() / "other";
};

// What the line names, by the roots asked for under a limit of two watches.
TEST_F(WatchLimitTest, OneLineNamesTheFirstWatchedFolderLeftOut)
{
    struct Case {
        const char* name;
        std::vector<fs::path> roots;
        std::string leftOut;
    };
    const std::vector<Case> cases{
        {"a tree larger than the limit", {root}, (root / "a" / "b").string() + " is not watched"},
        {"a missing root waited for", {root / "a" / "b" / "c", other, root / "x" / "y"},
         (root / "x" / "y").string() + " is not watched"},
        {"a tree that fills the limit",
         {root / "a" / "b"},
         "the folders on the watched folders' paths are not watched for renames"},
    };
    for (const auto& [name, roots, leftOut] : cases) {
        const auto status = underWatchLimit([&] {
            WatchTree tree(inotify_init1(IN_CLOEXEC));
            std::vector<std::string> paths(roots.begin(), roots.end());
            tree.addRoots(paths);
            const std::vector<std::string> expected{"the system's inotify watch limit is reached; " + leftOut +
                                                    ", nor is any folder while the limit holds; what arrives "
                                                    "in them meanwhile is checked once it lifts"};
            const auto notices = tree.takeNotices();
            if (notices != expected)
                std::fprintf(stderr, "%s: %s\n", name, notices.empty() ? "(none)" : notices.front().c_str());
            return notices == expected ? 0 : 1;
        });
        if (!status)
            GTEST_SKIP() << "no user namespace to lower the watch limit in";
        EXPECT_EQ(*status, 0) << name << ": the notice names what is left out first, once";
    }
}

// With the system's own limit: what was left unwatched stays so while the limit
// holds, and a retry once it is raised watches it, reporting from then on.
TEST_F(WatchLimitTest, FoldersLeftUnwatchedAreWatchedByARetryOnceTheLimitIsRaised)
{
    const auto status = underWatchLimit([this] {
        const int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        WatchTree tree(fd);
        tree.addRoots({root.string()});
        tree.retryUnwatched();
        if (!tree.hasUnwatched())
            return 1;
        std::ofstream("/proc/sys/user/max_inotify_watches") << 100 << std::flush;
        tree.retryUnwatched();
        if (tree.hasUnwatched())
            return 2;
        const auto file = root / "a" / "b" / "c" / "new.txt";
        constexpr std::uint32_t created = kItemCreated | kItemIsFile;
        std::ofstream(file) << "x";
        alignas(inotify_event) char buffer[4096];
        const ssize_t length = read(fd, buffer, sizeof buffer);
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            for (const auto& translated : tree.translate(*event))
                if (translated.path == file.string() && (translated.flags & created) == created)
                    return 0;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
        return 3;
    });
    if (!status)
        GTEST_SKIP() << "no user namespace to lower the watch limit in";
    EXPECT_EQ(*status, 0) << "1: watched while the limit holds; 2: unwatched after it was raised; "
                             "3: no event from the folder watched again";
}

} // namespace
