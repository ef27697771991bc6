#include "Foundation/FileWatcher.h"

#include "Platform/Dispatch/Dispatch.h"
#include "Platform/FSEvents/WatchTree.h"
#include "Platform/Root/PlatformRoot.h"
#include "FullWatchTable.h"
#include "ProcessStatus.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

struct FlagsCase {
    std::uint32_t flags;
    std::vector<const char*> predicates;
    const char* outcome;
};

std::vector<const char*> predicatesOf(const FileWatcherEvent& event)
{
    const std::pair<const char*, bool> all[] = {
        {"fileCreated", event.fileCreated()}, {"fileRemoved", event.fileRemoved()},
        {"fileRenamed", event.fileRenamed()}, {"fileModified", event.fileModified()},
        {"dirCreated", event.dirCreated()},   {"dirRemoved", event.dirRemoved()},
        {"dirRenamed", event.dirRenamed()},   {"dirModified", event.dirModified()},
    };
    std::vector<const char*> held;
    for (const auto& [name, holds] : all)
        if (holds)
            held.push_back(name);
    return held;
}

TEST(FileWatcherEventTest, PredicatesAndDescriptionFollowTheFlags)
{
    const FlagsCase cases[] = {
        {0x10100, {"fileCreated"}, "The file /d/x was created"},
        {0x10300, {"fileCreated", "fileRemoved"}, "The file /d/x was removed"},
        {0x11900, {"fileCreated", "fileRenamed", "fileModified"}, "The file /d/x was created"},
        {0x20800, {"dirRenamed"}, "The directory /d/x was renamed"},
        {0x21000, {"dirModified"}, "The directory /d/x was modified"},
        {0x20000, {}, "The directory /d/x was"},
        {0x00100, {}, "The directory /d/x was created"},
    };
    for (const auto& flagsCase : cases) {
        FileWatcherEvent event;
        event.path = "/d/x";
        event.flags = flagsCase.flags;
        EXPECT_EQ(predicatesOf(event), flagsCase.predicates) << std::hex << flagsCase.flags;
        EXPECT_EQ(event.description(), flagsCase.outcome);
    }
}

// Plays an unprivileged user for the life of the object: folders are the user's
// only when chowned to it.
class PlayedUser {
public:
    static constexpr uid_t uid = 501;
    PlayedUser() { ::setenv("PLATFORM_UID", std::to_string(uid).c_str(), 1); }
    ~PlayedUser() { ::unsetenv("PLATFORM_UID"); }
    PlayedUser(const PlayedUser&) = delete;
    PlayedUser& operator=(const PlayedUser&) = delete;

    static void owns(const fs::path& folder) { ASSERT_EQ(::chown(folder.c_str(), uid, uid), 0) << folder; }
};

class FileWatcherTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        downloads = testsupport::homeFolder() / "Downloads";
    }

    void watch(std::vector<std::string> paths)
    {
        watcher = std::make_unique<FileWatcher>(std::move(paths));
        watcher->callback = [this](const FileWatcherEvent& event) { events.push_back(event); };
        watcher->start();
    }

    // Pumps the main queue until an event for `path` has all of `flags`.
    bool waitFor(const fs::path& path, std::uint32_t flags)
    {
        return platform::dispatch::runMainLoopUntil(
            [&] { return find(path, flags) != nullptr; }, std::chrono::seconds(10));
    }

    const FileWatcherEvent* find(const fs::path& path, std::uint32_t flags) const
    {
        const auto it = std::find_if(events.begin(), events.end(), [&](const FileWatcherEvent& event) {
            return event.path == path.string() && (event.flags & flags) == flags;
        });
        return it == events.end() ? nullptr : &*it;
    }

    long count(const fs::path& path) const
    {
        return std::count_if(events.begin(), events.end(),
                             [&](const FileWatcherEvent& event) { return event.path == path.string(); });
    }

    fs::path downloads;
    std::vector<FileWatcherEvent> events;
    std::unique_ptr<FileWatcher> watcher;
};

TEST_F(FileWatcherTest, ReportsChangesUnderAFolderMadeAfterTheStart)
{
    watch({(testsupport::homeFolder() / "Absent").string(), downloads.string() + "/"});
    const auto nested = downloads / "new" / "nested";
    fs::create_directories(nested);
    ASSERT_TRUE(waitFor(nested, 0x20100));

    const auto file = nested / "a.txt";
    testsupport::plantFile(file, "data");
    ASSERT_TRUE(waitFor(file, 0x10100));
    ASSERT_TRUE(waitFor(file, 0x11000));

    const auto outside = testsupport::plantFile(testsupport::homeFolder() / "outside.app", "x");
    const auto movedIn = nested / "b.app";
    fs::rename(outside, movedIn);
    ASSERT_TRUE(waitFor(movedIn, 0x10800));

    const auto renamed = nested / "c.txt";
    fs::rename(file, renamed);
    ASSERT_TRUE(waitFor(file, 0x10800));
    ASSERT_TRUE(waitFor(renamed, 0x10800));

    std::ofstream(renamed, std::ios::app) << "more";
    ASSERT_TRUE(waitFor(renamed, 0x11000));

    fs::remove(renamed);
    ASSERT_TRUE(waitFor(renamed, 0x10200));

    for (const auto& event : events) {
        EXPECT_EQ(event.path.find("//"), std::string::npos) << event.path;
        EXPECT_NE(event.path.back(), '/') << event.path;
    }
    EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                               [](const auto& a, const auto& b) { return a.id < b.id; }));
}

TEST_F(FileWatcherTest, FolderMovedInIsWatchedAndFolderMovedOutIsNot)
{
    const auto parked = testsupport::homeFolder() / "parked";
    fs::create_directories(parked / "inner");
    watch({downloads.string()});

    fs::rename(parked, downloads / "parked");
    ASSERT_TRUE(waitFor(downloads / "parked", 0x20800));
    const auto inside = testsupport::plantFile(downloads / "parked" / "inner" / "f.txt");
    ASSERT_TRUE(waitFor(inside, 0x10100));

    fs::rename(downloads / "parked", parked);
    ASSERT_TRUE(waitFor(downloads / "parked", 0x20800));
    testsupport::plantFile(parked / "inner" / "g.txt");
    const auto marker = testsupport::plantFile(downloads / "marker");
    ASSERT_TRUE(waitFor(marker, 0x10100));
    for (const auto& event : events)
        EXPECT_EQ(event.path.find("g.txt"), std::string::npos) << event.path;
}

TEST_F(FileWatcherTest, AFolderMadeAfterTheStartIsWatchedButNotTheFoldersAboveIt)
{
    const auto library = testsupport::homeFolder() / "Library";
    const auto reports = library / "Logs" / "DiagnosticReports";
    watch({reports.string()});

    testsupport::plantFile(library / "beside.txt");
    fs::create_directories(reports);
    const auto crash = testsupport::plantFile(reports / "Tool.crash"); // at once: may be there before the watch
    ASSERT_TRUE(waitFor(crash, 0x10100));
    const auto nested = testsupport::plantFile(reports / "Retired" / "Old.crash");
    ASSERT_TRUE(waitFor(nested, 0x10100));

    for (const auto& event : events)
        EXPECT_TRUE(event.path.starts_with(reports.string() + "/")) << "only what is below the folder: " << event.path;
}

TEST_F(FileWatcherTest, TwoMissingFoldersWaitedForInOneFolderByTwoPaths)
{
    const auto real = testsupport::homeFolder() / "real";
    const auto linked = testsupport::homeFolder() / "linked";
    fs::create_directory(real);
    fs::create_directory_symlink(real, linked);
    watch({(linked / "reports").string(), (real / "reports").string()});

    fs::create_directory(real / "reports");
    const auto report = testsupport::plantFile(real / "reports" / "Tool.crash");
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
        [&] {
            return std::ranges::any_of(events, [](const FileWatcherEvent& event) {
                return event.path.ends_with("/reports/Tool.crash") && event.fileCreated();
            });
        },
        std::chrono::seconds(10)));
}

TEST_F(FileWatcherTest, AWatchedFolderThatGoesAwayIsWatchedAgainWhenItComesBack)
{
    const auto agents = testsupport::homeFolder() / "Library" / "LaunchAgents";
    const auto parked = testsupport::homeFolder() / "parked";
    watch({agents.string()});

    fs::remove_all(agents);
    fs::create_directory(agents);
    const auto made = testsupport::plantFile(agents / "made.plist");
    ASSERT_TRUE(waitFor(made, 0x10100));

    // Moved away: what happens in it afterwards is no longer under the path.
    fs::rename(agents, parked);
    testsupport::plantFile(parked / "unseen.plist");
    fs::create_directory(agents);
    const auto remade = testsupport::plantFile(agents / "remade.plist");
    ASSERT_TRUE(waitFor(remade, 0x10100));
    EXPECT_EQ(count(agents / "unseen.plist"), 0);

    // Moved back in: what it holds is reported, and so is a file put in it at
    // once, before its watch can have begun.
    fs::remove_all(agents);
    fs::rename(parked, agents);
    const auto movedIn = testsupport::plantFile(agents / "moved-in.plist");
    ASSERT_TRUE(waitFor(movedIn, 0x10100));
    ASSERT_TRUE(waitFor(agents / "unseen.plist", 0x10100));
    const auto later = testsupport::plantFile(agents / "later.plist");
    ASSERT_TRUE(waitFor(later, 0x10100));
    for (const auto& event : events)
        EXPECT_EQ(event.path.find(parked.string()), std::string::npos) << event.path;
}

TEST_F(FileWatcherTest, AFolderThatIsALinkIsNotFollowedToAFolderOfTheMachine)
{
    const PlayedUser user;
    const auto desktop = testsupport::homeFolder() / "Desktop";
    fs::create_directories(platform::hostPath("/usr/share/doc"));
    fs::create_directories(platform::hostPath("/Users/Shared"));
    const fs::path refusedTargets[] = {"/", platform::platformRoot(), platform::hostPath("/Users"),
                                       testsupport::homeFolder(), testsupport::platformRootFolder().parent_path(),
                                       platform::hostPath("/usr"), platform::hostPath("/Users/Shared")};
    for (const auto& target : refusedTargets) {
        watcher.reset(); // the last target's watcher would judge the re-pointed link again and say so too
        fs::remove_all(desktop);
        fs::create_directory_symlink(target, desktop);
        const long watchesBefore = testsupport::inotifyWatchCount();
        testing::internal::CaptureStderr();
        watch({desktop.string()});
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_LE(testsupport::inotifyWatchCount() - watchesBefore, 1) << target << ": only the home, where the folder is waited for";
        EXPECT_EQ(said, "File watcher: " + desktop.string() + " is a link to " + fs::canonical(target).string() +
                            ", which is not a folder of the user's own; it is not watched\n");
    }

    // Waited for like a missing folder: a real folder put in the link's place is watched.
    fs::remove(desktop);
    fs::create_directory(desktop);
    const auto file = testsupport::plantFile(desktop / "real.txt");
    ASSERT_TRUE(waitFor(file, 0x10100));
}

// Inside the home or on a second disk: a folder the user owns is followed wherever
// it lies; another user's folder is not.
TEST_F(FileWatcherTest, AFolderThatIsALinkToAFolderOfTheUserIsReportedUnderItsOwnPath)
{
    const PlayedUser user;
    const auto desktop = testsupport::homeFolder() / "Desktop";
    const auto elsewhere = testsupport::homeFolder() / "Projects" / "desk";
    const auto secondDisk = fs::path(platform::hostPath("/Volumes/Data/Downloads"));
    const auto othersDisk = fs::path(platform::hostPath("/Volumes/Other/Downloads"));
    for (const auto& folder : {elsewhere / "sub", secondDisk, othersDisk})
        fs::create_directories(folder);
    PlayedUser::owns(elsewhere);
    PlayedUser::owns(secondDisk);
    fs::remove_all(desktop);
    fs::create_directory_symlink(elsewhere, desktop);
    fs::remove_all(downloads);
    fs::create_directory_symlink(secondDisk, downloads);
    const auto others = testsupport::homeFolder() / "Others";
    fs::create_directory_symlink(othersDisk, others);
    testing::internal::CaptureStderr();
    watch({desktop.string(), downloads.string(), others.string()});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "File watcher: " + others.string() + " is a link to " + othersDisk.string() +
                  ", which is not a folder of the user's own; it is not watched\n");

    testsupport::plantFile(secondDisk / "Setup.dmg");
    ASSERT_TRUE(waitFor(downloads / "Setup.dmg", 0x10100));
    testsupport::plantFile(othersDisk / "unseen.dmg");

    testsupport::plantFile(elsewhere / "top.txt");
    ASSERT_TRUE(waitFor(desktop / "top.txt", 0x10100));
    testsupport::plantFile(elsewhere / "sub" / "deep.txt");
    ASSERT_TRUE(waitFor(desktop / "sub" / "deep.txt", 0x10100));
    fs::create_directories(elsewhere / "made");
    ASSERT_TRUE(waitFor(desktop / "made", 0x20100));
    testsupport::plantFile(elsewhere / "made" / "later.txt");
    ASSERT_TRUE(waitFor(desktop / "made" / "later.txt", 0x10100));
    for (const auto& event : events)
        EXPECT_TRUE(event.path.starts_with(desktop.string() + "/") || event.path.starts_with(downloads.string() + "/"))
            << event.path;
}

TEST_F(FileWatcherTest, LinksBelowAWatchedFolderAreNotFollowed)
{
    const auto documents = testsupport::homeFolder() / "Documents";
    fs::create_directories(documents / "a");
    fs::create_directory_symlink(documents, documents / "a" / "loop");
    fs::create_directory_symlink(documents / "a", documents / "a" / "self");
    fs::create_directory_symlink(testsupport::platformRootFolder(), documents / "root");
    const long foldersOnItsPath = std::distance(documents.begin(), documents.end()) - 1;
    const long watchesBefore = testsupport::inotifyWatchCount() + foldersOnItsPath;
    watch({documents.string()});
    EXPECT_EQ(testsupport::inotifyWatchCount() - watchesBefore, 2); // the folder and "a"

    const auto file = testsupport::plantFile(documents / "a" / "x.txt");
    ASSERT_TRUE(waitFor(file, 0x10100));
    fs::create_directory_symlink(documents, documents / "a" / "made-loop");
    const auto marker = testsupport::plantFile(documents / "marker");
    ASSERT_TRUE(waitFor(marker, 0x11000));
    EXPECT_EQ(testsupport::inotifyWatchCount() - watchesBefore, 2);
    for (const auto& event : events)
        EXPECT_EQ(event.path.find("/loop/"), std::string::npos) << event.path;
}

TEST_F(FileWatcherTest, SecondStartMakesNoSecondStreamAndAbsentCallbackDrops)
{
    // Counts the batches run on the main queue, so the test knows when the one
    // made while the callback is absent has been handed over.
    const auto batchesRun = std::make_shared<int>(0);
    watcher = std::make_unique<FileWatcher>(std::vector<std::string>{downloads.string()});
    watcher->callback = [this](const FileWatcherEvent& event) { events.push_back(event); };
    watcher->queue = [batchesRun](std::function<void()> batch) {
        platform::dispatch::asyncMain([batchesRun, batch = std::move(batch)] {
            batch();
            ++*batchesRun;
        });
    };
    watcher->start();
    watcher->start();
    const auto file = testsupport::plantFile(downloads / "once.txt");
    ASSERT_TRUE(waitFor(file, 0x10100));
    const auto marker = testsupport::plantFile(downloads / "marker");
    ASSERT_TRUE(waitFor(marker, 0x11000));
    EXPECT_EQ(count(file), 2); // created, then modified on close; one stream only

    auto callback = std::exchange(watcher->callback, nullptr);
    const int before = *batchesRun;
    const auto dropped = downloads / "dropped";
    fs::create_directory(dropped); // one event, so one batch
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return *batchesRun > before; }, std::chrono::seconds(10)));
    watcher->callback = callback;
    const auto later = testsupport::plantFile(downloads / "later.txt");
    ASSERT_TRUE(waitFor(later, 0x10100));
    EXPECT_EQ(count(dropped), 0);
}

// The lowest descriptor number this process has free: below it, all are in use.
int lowestFreeDescriptor()
{
    int fd = 0;
    while (::fcntl(fd, F_GETFD) != -1)
        ++fd;
    return fd;
}

// The system gives no inotify instance at the start (here: no descriptor is left
// to this process, as when other programs hold every instance): one line names
// the folders, the start is tried again, silently, until it succeeds, and from
// then on events arrive as from a stream started at once.
TEST_F(FileWatcherTest, AStreamThatCannotStartSaysSoOnceAndStartsWhenItCan)
{
    using namespace std::chrono_literals;
    const auto desktop = testsupport::homeFolder() / "Desktop";
    platform::dispatch::runMainLoopFor(1ms);
    testing::internal::CaptureStderr();
    rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit none = before;
    none.rlim_cur = static_cast<rlim_t>(lowestFreeDescriptor());
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    watch({downloads.string() + "/", desktop.string()});
    testsupport::plantFile(downloads / "unseen.txt");
    platform::dispatch::runMainLoopFor(6s); // a retry fails meanwhile
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &before), 0);

    int planted = 0;
    auto nextPlanting = std::chrono::steady_clock::now();
    const bool delivered = platform::dispatch::runMainLoopUntil(
        [&] {
            if (std::chrono::steady_clock::now() >= nextPlanting) {
                testsupport::plantFile(desktop / ("late-" + std::to_string(planted++) + ".txt"));
                nextPlanting += 200ms;
            }
            return !events.empty();
        },
        15s);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "File watcher: cannot watch \"" + downloads.string() + "/\", \"" + desktop.string() +
                  "\": Too many open files; trying again every 5 seconds\n");
    ASSERT_TRUE(delivered);
    EXPECT_TRUE(events.front().path.starts_with((desktop / "late-").string())) << events.front().path;
    EXPECT_EQ(count(downloads / "unseen.txt"), 0);
}

// The watch table is full at the start (editors and sync clients hold the user's
// watches): one line names the first folder left unwatched; once the limit is
// lifted the folders are watched at the next retry, folders made meanwhile and a
// folder waited for included, what arrived in them meanwhile is reported once, as
// having arrived under its name, and events arrive from then on.
TEST_F(FileWatcherTest, FoldersLeftUnwatchedAtTheWatchLimitAreWatchedOnceItIsLifted)
{
    using namespace std::chrono_literals;
    const fs::path applications = platform::hostPath("/Applications");
    const auto reports = testsupport::homeFolder() / "Library/Logs/DiagnosticReports";
    fs::create_directories(downloads / "sub");
    fs::create_directories(applications);
    platform::dispatch::runMainLoopFor(1ms);
    testsupport::FullWatchTable table;
    testing::internal::CaptureStderr();
    watch({downloads.string() + "/", applications.string(), reports.string()});
    fs::create_directories(downloads / "made-meanwhile");
    testsupport::plantFile(downloads / "unseen.dmg");
    testsupport::plantFile(downloads / "sub" / "unseen.pkg");
    platform::dispatch::runMainLoopFor(1s);
    EXPECT_TRUE(events.empty());
    table.lift();

    constexpr std::uint32_t arrivedFile = 0x10900; // created and renamed, a file
    ASSERT_TRUE(waitFor(downloads / "unseen.dmg", arrivedFile)) << "the folders are tried again every 5 seconds";
    EXPECT_NE(find(downloads / "sub" / "unseen.pkg", arrivedFile), nullptr);
    EXPECT_NE(find(downloads / "made-meanwhile", 0x20900), nullptr);
    fs::create_directory(applications / "Tool.app");
    ASSERT_TRUE(waitFor(applications / "Tool.app", 0x20100));
    for (const auto& folder : {downloads / "sub", downloads / "made-meanwhile"}) {
        const auto file = testsupport::plantFile(folder / "file.txt");
        ASSERT_TRUE(waitFor(file, 0x10100)) << folder;
    }
    const auto crash = testsupport::plantFile(reports / "Tool.crash");
    ASSERT_TRUE(waitFor(crash, 0x10100));
    EXPECT_EQ(count(downloads / "unseen.dmg"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "File watcher: the system's inotify watch limit is reached; " + downloads.string() +
                  " is not watched, nor is any folder while the limit holds; what arrives in them meanwhile is "
                  "checked once it lifts\n");
}

// A folder that is a link is judged again whenever the link is made, removed or
// re-pointed in its place: refused while it leads to a folder of the machine,
// followed (what it holds reported) while it leads into the home, whichever way it
// is re-pointed (removed and made again, or a new link renamed over it).
TEST_F(FileWatcherTest, ALinkedFolderIsJudgedAgainWhenTheLinkIsRePointed)
{
    const PlayedUser user;
    const auto desktop = testsupport::homeFolder() / "Desktop";
    const fs::path system = platform::hostPath("/usr/share");
    const auto desk = testsupport::homeFolder() / "Projects" / "desk";
    const auto other = testsupport::homeFolder() / "Projects" / "other";
    fs::create_directories(system);
    testsupport::plantFile(desk / "before.txt");
    testsupport::plantFile(other / "other.txt");
    PlayedUser::owns(desk);
    PlayedUser::owns(other);
    fs::remove_all(desktop);
    fs::create_directory_symlink(system, desktop);
    platform::dispatch::runMainLoopFor(std::chrono::milliseconds(1));
    testing::internal::CaptureStderr();
    watch({desktop.string(), downloads.string()});
    int markers = 0;
    const auto handledSoFar = [&] { // events come in order: all before a marker's are handed over
        const auto marker = testsupport::plantFile(downloads / ("marker-" + std::to_string(markers++)));
        return waitFor(marker, 0x10100);
    };
    const auto rePoint = [&](const fs::path& target) {
        fs::create_directory_symlink(target, desktop.string() + ".new");
        fs::rename(desktop.string() + ".new", desktop);
    };

    fs::remove(desktop);
    fs::create_directory_symlink(desk, desktop);
    ASSERT_TRUE(waitFor(desktop / "before.txt", 0x10100)) << "what the folder holds, as for a folder that appears";
    testsupport::plantFile(desk / "new.txt");
    ASSERT_TRUE(waitFor(desktop / "new.txt", 0x10100));

    rePoint(other);
    ASSERT_TRUE(waitFor(desktop / "other.txt", 0x10100));
    testsupport::plantFile(desk / "stale.txt");
    testsupport::plantFile(other / "fresh.txt");
    ASSERT_TRUE(waitFor(desktop / "fresh.txt", 0x10100));
    EXPECT_EQ(count(desktop / "stale.txt"), 0) << "the folder it led to before is no longer watched";

    rePoint(system);
    ASSERT_TRUE(handledSoFar());
    testsupport::plantFile(other / "late.txt");
    fs::create_directory(system / "made");
    ASSERT_TRUE(handledSoFar());
    EXPECT_EQ(count(desktop / "late.txt"), 0);
    EXPECT_EQ(count(desktop / "made"), 0);

    const std::string refused = "File watcher: " + desktop.string() + " is a link to " +
                                fs::canonical(system).string() +
                                ", which is not a folder of the user's own; it is not watched\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), refused + refused);
    for (const auto& event : events)
        EXPECT_TRUE(event.path.starts_with(desktop.string() + "/") || event.path.starts_with(downloads.string() + "/"))
            << event.path;
}

// The watches follow the folders they were made on: a folder above a watched one
// renamed, the folder made anew at the path is watched, and the moved one is no
// longer reported under the path.
TEST_F(FileWatcherTest, AFolderAboveAWatchedOneRenamedLeavesItWatchedAtItsPath)
{
    const auto logs = testsupport::homeFolder() / "Library/Logs";
    const auto reports = logs / "DiagnosticReports";
    const auto moved = fs::path(logs.string() + ".moved");
    fs::create_directories(reports);
    watch({reports.string(), downloads.string()});
    fs::rename(logs, moved);
    fs::create_directories(reports);
    const auto fresh = testsupport::plantFile(reports / "new.crash");
    ASSERT_TRUE(waitFor(fresh, 0x10100));
    testsupport::plantFile(moved / "DiagnosticReports" / "old.crash");
    const auto marker = testsupport::plantFile(downloads / "marker");
    ASSERT_TRUE(waitFor(marker, 0x10100)); // events come in order: the moved folder's would be in by now
    EXPECT_EQ(count(reports / "old.crash"), 0);
    for (const auto& event : events)
        EXPECT_FALSE(event.path.starts_with(moved.string())) << event.path;
}

TEST_F(FileWatcherTest, StopEndsEventsAndStopBeforeStartDoesNothing)
{
    FileWatcher idle({downloads.string()});
    idle.stop();

    watch({downloads.string()});
    watcher->stop();
    testsupport::plantFile(downloads / "after-stop.txt");
    platform::dispatch::runMainLoopFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(events.empty());
}

} // namespace
