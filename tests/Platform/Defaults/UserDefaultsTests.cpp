#include "Platform/Defaults/UserDefaults.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Values/PropertyList.h"
#include "FilePermissionsObeyed.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace platform;

const char* const suiteName = "K4QZ7XRW31.com.tarnwicklabs.agsq";

class UserDefaultsTest : public testsupport::PlatformRootTest {
protected:
    std::string path = (testsupport::homeFolder() / "Library/Preferences/com.example.test.plist").string();
};

struct Reader {
    const char* name;
    std::function<bool(const UserDefaults&, const std::string&)> present;
};

const std::vector<Reader> readers = {
    {"boolean", [](const UserDefaults& d, const std::string& k) { return d.boolean(k).has_value(); }},
    {"integer", [](const UserDefaults& d, const std::string& k) { return d.integer(k).has_value(); }},
    {"real", [](const UserDefaults& d, const std::string& k) { return d.real(k).has_value(); }},
    {"text", [](const UserDefaults& d, const std::string& k) { return d.text(k).has_value(); }},
    {"date", [](const UserDefaults& d, const std::string& k) { return d.date(k).has_value(); }},
    {"array", [](const UserDefaults& d, const std::string& k) { return d.array(k).has_value(); }},
    {"dictionary", [](const UserDefaults& d, const std::string& k) { return d.dictionary(k).has_value(); }},
};

TEST_F(UserDefaultsTest, AValueOfAnotherTypeReadsAsMissing)
{
    struct Case {
        Value stored;
        std::vector<std::string> presentFor;
    };
    const std::vector<Case> cases = {
        {Value(true), {"boolean"}},
        {Value(7), {"integer", "real"}},
        {Value(1.5), {"real"}},
        {Value("true"), {"text"}},
        {Value(Date(std::chrono::seconds(1600000000))), {"date"}},
        {Value(Array{Value("a")}), {"array"}},
        {Value(Dictionary{{"a", Value(1)}}), {"dictionary"}},
        {Value(Data{1, 2}), {}},
    };
    UserDefaults defaults(path);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string key = "key" + std::to_string(i);
        defaults.setObject(key, cases[i].stored);
        EXPECT_EQ(defaults.object(key), cases[i].stored);
        for (const auto& reader : readers) {
            SCOPED_TRACE(key + " read as " + reader.name);
            const auto& wanted = cases[i].presentFor;
            EXPECT_EQ(reader.present(defaults, key), std::find(wanted.begin(), wanted.end(), reader.name) != wanted.end());
            EXPECT_FALSE(reader.present(defaults, "absent"));
        }
    }
}

TEST_F(UserDefaultsTest, TypedWritesReadBackAndPersistAsBinary)
{
    {
        UserDefaults defaults(path);
        defaults.setBool("flag", false);
        defaults.setInteger("count", -3);
        defaults.setDouble("version", 1.0);
    }
    UserDefaults reopened(path);
    EXPECT_EQ(reopened.boolean("flag"), false);
    EXPECT_EQ(reopened.integer("count"), -3);
    EXPECT_EQ(reopened.real("version"), 1.0);
    EXPECT_FALSE(reopened.integer("version"));
    const auto bytes = serializePropertyList(Value(reopened.dictionaryRepresentation()), PropertyListFormat::Binary);
    std::vector<std::uint8_t> onDisk;
    ASSERT_TRUE(readWholeFile(path, onDisk));
    EXPECT_EQ(onDisk, bytes);
}

TEST_F(UserDefaultsTest, ADateReadsBackToTheMillisecond)
{
    const Date stored = Date(std::chrono::sys_days{std::chrono::year{2026} / 3 / 4}) + std::chrono::milliseconds(36'000'987);
    UserDefaults(path).setObject("when", Value(stored));
    const auto read = UserDefaults(path).date("when");
    ASSERT_TRUE(read);
    EXPECT_EQ(std::chrono::round<std::chrono::milliseconds>(*read), stored);
}

TEST_F(UserDefaultsTest, NullOrRemoveDeletesTheKey)
{
    UserDefaults defaults(path);
    defaults.setObject("a", Value(1));
    defaults.setObject("b", Value(2));
    defaults.setObject("a", Value());
    defaults.removeObject("b");
    EXPECT_TRUE(defaults.dictionaryRepresentation().empty());
}

TEST_F(UserDefaultsTest, ReadsABinaryFileAndSeesReplacementsByOthers)
{
    ASSERT_TRUE(writePropertyListFile(path, Value(Dictionary{{"k", Value(1)}}), PropertyListFormat::Binary));
    UserDefaults first(path);
    UserDefaults second(path);
    EXPECT_EQ(first.integer("k"), 1);
    // Same size and (often) the same timestamp: only the file's identity tells them apart.
    second.setInteger("k", 2);
    EXPECT_EQ(first.integer("k"), 2);
    ASSERT_TRUE(writePropertyListFile(path, Value(Dictionary{{"k", Value(3)}})));
    EXPECT_EQ(first.integer("k"), 3);
    EXPECT_EQ(second.integer("k"), 3);
}

// The unreadable file is kept aside, once, before the first write over it: an
// older copy aside is replaced, and later writes replace only the new file.
TEST_F(UserDefaultsTest, AnUnreadableFileReadsEmptyAndIsKeptAsideBeforeItIsReplaced)
{
    for (const std::string unreadable : {"not a property list", "<plist version=\"1.0\"><array/></plist>"}) {
        SCOPED_TRACE(unreadable);
        testsupport::plantFile(path + ".corrupt", "an older copy");
        testsupport::plantFile(path, unreadable);
        UserDefaults defaults(path);
        EXPECT_TRUE(defaults.dictionaryRepresentation().empty());
        testing::internal::CaptureStderr();
        defaults.setBool("ok", true);
        defaults.setBool("again", true);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Settings file " + path + " could not be read: kept it aside as " + path + ".corrupt\n");
        EXPECT_EQ(testsupport::readFileText(path + ".corrupt"), unreadable);
        EXPECT_EQ(readPropertyListFile(path), Value(Dictionary{{"ok", Value(true)}, {"again", Value(true)}}));
    }
}

TEST_F(UserDefaultsTest, AFolderInPlaceOfTheFileSaysOnceThatNothingCanBeSaved)
{
    fs::create_directories(path);
    testsupport::plantFile(fs::path(path) / "kept", "the user's");
    UserDefaults defaults(path);
    testing::internal::CaptureStderr();
    defaults.setBool("ok", true);
    defaults.setBool("again", true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Settings cannot be saved to " + path + "\n");
    EXPECT_FALSE(defaults.boolean("ok"));
    EXPECT_EQ(testsupport::readFileText(fs::path(path) / "kept"), "the user's");
    EXPECT_FALSE(fs::exists(path + ".corrupt"));
}

// A list of ignored paths the size of a long-used suite (5.5 MB as a binary file).
Array manyPaths(std::size_t count)
{
    Array paths;
    for (std::size_t i = 0; i < count; ++i)
        paths.emplace_back("/Users/someone/Library/Application Support/Some Vendor/cache/entry-" + std::to_string(i) + ".dat");
    return paths;
}

TEST_F(UserDefaultsTest, ALargeValidFileKeepsEveryKeyThroughAWrite)
{
    const Dictionary large{{"IgnoreAllPathsBGX", Value(manyPaths(70'000))}, {"IsActiveProtectionEnabledBGX", Value(false)}};
    ASSERT_TRUE(writePropertyListFile(path, Value(large), PropertyListFormat::Binary));
    ASSERT_GT(fs::file_size(path), maximumPropertyListSize);
    UserDefaults defaults(path);
    EXPECT_EQ(defaults.boolean("IsActiveProtectionEnabledBGX"), false);
    EXPECT_TRUE(defaults.setInteger("SnoozeForBGX", 2));
    Dictionary expected = large;
    expected.emplace("SnoozeForBGX", Value(2));
    EXPECT_EQ(UserDefaults(path).dictionaryRepresentation(), expected);
    EXPECT_FALSE(fs::exists(path + ".corrupt"));
}

// A file over the settings limit is neither read nor written nor moved aside: what
// was read before stays in use, and every write says it was not stored.
TEST_F(UserDefaultsTest, AFileOverTheLimitIsKeptAsItIsAndRefusesWrites)
{
    UserDefaults defaults(path);
    ASSERT_TRUE(defaults.setBool("IsActiveProtectionEnabledBGX", false));
    EXPECT_EQ(defaults.boolean("IsActiveProtectionEnabledBGX"), false); // read before it grew
    std::string oversized(maximumSettingsFileSize + 1, 'x');
    testsupport::plantFile(path, oversized);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(defaults.boolean("IsActiveProtectionEnabledBGX"), false);
    EXPECT_FALSE(defaults.setBool("IsActiveProtectionEnabledBGX", true));
    EXPECT_FALSE(defaults.setInteger("SnoozeForBGX", 1));
    EXPECT_EQ(defaults.boolean("IsActiveProtectionEnabledBGX"), false);
    const std::string said = testing::internal::GetCapturedStderr() + testing::internal::GetCapturedStdout();
    EXPECT_EQ(said, "Settings file " + path + " is larger than " + std::to_string(maximumSettingsFileSize) +
                        " bytes: it is not read, and settings are not saved to it\n");
    EXPECT_EQ(fs::file_size(path), oversized.size());
    EXPECT_FALSE(fs::exists(path + ".corrupt"));

    fs::remove(path); // gone: writable again, but never into a file over the limit
    EXPECT_TRUE(defaults.setInteger("SnoozeForBGX", 1));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(defaults.setObject("blob", Value(Data(maximumSettingsFileSize))));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Settings not saved to " + path + ": they would be larger than " +
                                                          std::to_string(maximumSettingsFileSize) + " bytes\n");
    EXPECT_EQ(readPropertyListFile(path), Value(Dictionary{{"SnoozeForBGX", Value(1)}}));
}

// A file the process may not open (another user's, left by a run with sudo) is treated
// as one over the limit: said once with why, not read, never moved aside nor written
// over; once it can be read again, every key is there.
TEST_F(UserDefaultsTest, AFileThatCannotBeOpenedIsKeptWholeAndRefusesWrites)
{
    const Dictionary stored{{"LaunchAutomaticallyBGX", Value(false)},
                            {"TotalDeceptiveAppsRemovedSoFarBGX", Value(12)},
                            {"LoginItemsUDBG", Value(Array{Value(Dictionary{{"label", Value("com.example.job")}})})}};
    UserDefaults before(path);
    for (const auto& [key, value] : stored)
        ASSERT_TRUE(before.setObject(key, value));
    ASSERT_EQ(before.dictionaryRepresentation(), stored); // read before the file changed hands
    const std::string bytes = testsupport::readFileText(path);
    {
        testsupport::UnopenableFile unopenable(path);
        const testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "this process cannot give up its file access override";
        UserDefaults fresh(path);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(fresh.boolean("LaunchAutomaticallyBGX")); // not read
        EXPECT_FALSE(fresh.setBool("LaunchAutomaticallyBGX", true));
        EXPECT_FALSE(fresh.modifyArray("LoginItemsUDBG", [](Array& entries) { entries.clear(); }));
        EXPECT_EQ(before.integer("TotalDeceptiveAppsRemovedSoFarBGX"), 12); // what was read before
        EXPECT_FALSE(before.setInteger("TotalDeceptiveAppsRemovedSoFarBGX", 13));
        const std::string line =
            "Settings file " + path + " cannot be opened (Permission denied): it is not read, and settings are not saved to it\n";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line); // once for each of the two
    }
    EXPECT_EQ(testsupport::readFileText(path), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator()), 2)
        << "the file and its lock, nothing kept aside";
    EXPECT_EQ(before.dictionaryRepresentation(), stored);
    EXPECT_TRUE(before.setInteger("TotalDeceptiveAppsRemovedSoFarBGX", 13));
}

// What writers cut short left beside the file goes at the next write; nothing else does.
TEST_F(UserDefaultsTest, AWriteRemovesTheTemporaryFilesOfWritersCutShort)
{
    const fs::path folder = fs::path(path).parent_path();
    const std::string name = fs::path(path).filename().string();
    const std::vector<std::string> stale = {"." + name + ".Ab12Cd", "." + name + ".XXXXXX"};
    const std::vector<std::string> kept = {"." + name + ".Ab12C", "." + name + ".Ab12Cd3", "." + name + ".Ab-2Cd",
                                           ".other.plist.Ab12Cd", name + ".Ab12Cd"};
    for (const auto& each : stale)
        testsupport::plantFile(folder / each, std::string(4096, 's'));
    for (const auto& each : kept)
        testsupport::plantFile(folder / each, "kept");
    fs::create_directory(folder / ("." + name + ".Folder"));
    fs::create_symlink(folder / kept.front(), folder / ("." + name + ".Link12"));
    EXPECT_TRUE(UserDefaults(path).setBool("ok", true));
    for (const auto& each : stale)
        EXPECT_FALSE(fs::exists(folder / each)) << each;
    for (const auto& each : kept)
        EXPECT_EQ(testsupport::readFileText(folder / each), "kept") << each;
    EXPECT_TRUE(fs::is_directory(folder / ("." + name + ".Folder")));
    EXPECT_TRUE(fs::is_symlink(folder / ("." + name + ".Link12")));
}

TEST_F(UserDefaultsTest, EveryWriteSaysWhetherItWasStored)
{
    UserDefaults defaults(path);
    EXPECT_TRUE(defaults.setBool("a", true));
    EXPECT_TRUE(defaults.setBool("a", true)); // already stored
    EXPECT_TRUE(defaults.removeObject("absent"));
    fs::remove(path);
    fs::create_directories(path); // a folder in its place
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(defaults.setBool("a", false));
    EXPECT_FALSE(defaults.setObject("b", Value("text")));
    EXPECT_FALSE(defaults.modifyArray("c", [](Array& entries) { entries.emplace_back(1); }));
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
}

TEST_F(UserDefaultsTest, AValueHoldingNullIsNotWritten)
{
    UserDefaults defaults(path);
    defaults.setInteger("kept", 1);
    defaults.setObject("bad", Value(Array{Value(1), Value()}));
    EXPECT_EQ(defaults.dictionaryRepresentation(), (Dictionary{{"kept", Value(1)}}));
}

TEST_F(UserDefaultsTest, ConcurrentWritersOfOneFileLoseNothing)
{
    UserDefaults shared(path);
    UserDefaults other(path);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i)
                (t % 2 ? other : shared).setInteger("t" + std::to_string(t) + "." + std::to_string(i), i);
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared.dictionaryRepresentation().size(), 100u);
    EXPECT_EQ(other.dictionaryRepresentation(), shared.dictionaryRepresentation());
}

TEST_F(UserDefaultsTest, ConcurrentExtensionsOfOneListLoseNothing)
{
    UserDefaults shared(path);
    UserDefaults other(path);
    const auto append = [](UserDefaults& defaults, int entry) {
        defaults.modifyObject("list", [entry](const Value* stored) {
            Array list = stored && stored->asArray() ? *stored->asArray() : Array{};
            list.emplace_back(entry);
            return Value(std::move(list));
        });
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                append(t % 2 ? other : shared, t * 10 + i);
        });
    for (auto& thread : threads)
        thread.join();
    ASSERT_TRUE(shared.array("list"));
    EXPECT_EQ(shared.array("list")->size(), 40u);
    shared.modifyObject("list", [](const Value*) { return Value(); });
    EXPECT_FALSE(other.object("list"));
}

TEST_F(UserDefaultsTest, StandardDefaultsAreNamedAfterTheMainBundle)
{
    // The only test that opens the standard defaults: their path is fixed at first use.
    const auto bundle = testsupport::underRoot("/Applications/Test.app");
    fs::create_directories(bundle / "Contents");
    ASSERT_TRUE(writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                      Value(Dictionary{{"CFBundleIdentifier", Value("com.example.standard")}})));
    Bundle::setMainBundlePath(bundle.string());
    const fs::path file = UserDefaults::standard().plistPath();
    EXPECT_EQ(file, testsupport::homeFolder() / "Library/Preferences/com.example.standard.plist");
    UserDefaults::standard().setBool("StandardKey", true);
    EXPECT_EQ(readPropertyListFile(file.string()), Value(Dictionary{{"StandardKey", Value(true)}}));
}

TEST_F(UserDefaultsTest, SuiteLivesInItsGroupContainer)
{
    const auto suite = UserDefaults::suite(suiteName);
    ASSERT_TRUE(suite);
    EXPECT_EQ(fs::path(suite->plistPath()), testsupport::homeFolder() / "Library/Group Containers" / suiteName /
                                                "Library/Preferences" / (std::string(suiteName) + ".plist"));
    suite->setBool("IsActiveProtectionEnabledBGX", true);
    EXPECT_EQ(UserDefaults::suite(suiteName)->boolean("IsActiveProtectionEnabledBGX"), true);
}

// Only a suite folder that is not there and cannot be made leaves the suite unopened;
// a suite whose file or lock cannot be used opens, reads what it can and says once
// that a write was not saved.
TEST_F(UserDefaultsTest, SuiteIsUnavailableOnlyWhenItsFolderCannotBeThere)
{
    const auto containers = testsupport::homeFolder() / "Library/Group Containers";
    const auto preferences = containers / suiteName / "Library/Preferences";
    const std::string plist = (preferences / (std::string(suiteName) + ".plist")).string();
    const std::string notSaved = "Settings cannot be saved to " + plist + "\n";
    testsupport::plantFile(containers, "file");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(UserDefaults::suite(suiteName));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), notSaved);

    for (const std::string& blocked : {plist, plist + ".lock"}) {
        SCOPED_TRACE(blocked);
        fs::remove_all(containers);
        fs::create_directories(blocked);
        testing::internal::CaptureStderr();
        const auto suite = UserDefaults::suite(suiteName);
        ASSERT_TRUE(suite);
        EXPECT_FALSE(suite->setBool("IsActiveProtectionEnabledBGX", true));
        EXPECT_FALSE(suite->setBool("IsActiveProtectionEnabledBGX", true));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), notSaved);
        EXPECT_TRUE(fs::is_directory(blocked));
    }
    for (const char* badName : {"", ".", "..", "a/b"})
        EXPECT_FALSE(UserDefaults::suite(badName)) << badName;
}

// The suite left to another user (what a run with sudo leaves): opened all the same.
// A file it may read is read and never written over; one it may not open, or one
// behind a folder it may not search, is said once, refused, and read as soon as it
// is given back.
TEST_F(UserDefaultsTest, ASuiteOfAnotherUserIsReadWhereItCanBeAndNeverWrittenOver)
{
    const uid_t otherUser = 65534;
    const auto preferences = testsupport::homeFolder() / "Library/Group Containers" / suiteName / "Library/Preferences";
    const std::string plist = (preferences / (std::string(suiteName) + ".plist")).string();
    const std::string refused = "Settings file " + plist +
                                " cannot be opened (Permission denied): it is not read, and settings are not saved to it\n";
    struct Case {
        const char* name;
        fs::path handedOver;
        fs::perms mode;
        bool readable;
        std::string said;
    };
    const std::vector<Case> cases = {
        {"file 0644", plist, fs::perms(0644), true, "Settings cannot be saved to " + plist + "\n"},
        {"file 0600", plist, fs::perms(0600), false, refused},
        {"folder 0700", preferences, fs::perms(0700), false, refused},
    };
    const Array ignored{Value("/Applications/Snapfyre Search.app")};
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        fs::remove_all(preferences.parent_path());
        ASSERT_TRUE(UserDefaults::suite(suiteName)->setObject("IgnoreAllPathsBGX", Value(ignored)));
        const std::string bytes = testsupport::readFileText(plist);
        ASSERT_EQ(::chown(each.handedOver.c_str(), otherUser, otherUser), 0);
        fs::permissions(each.handedOver, each.mode);
        const testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "this process cannot give up its file access override";
        testing::internal::CaptureStderr();
        const auto suite = UserDefaults::suite(suiteName);
        ASSERT_TRUE(suite);
        EXPECT_EQ(suite->isReadable(), each.readable);
        EXPECT_EQ(suite->array("IgnoreAllPathsBGX").has_value(), each.readable);
        EXPECT_FALSE(suite->setBool("IsActiveProtectionEnabledBGX", true));
        EXPECT_FALSE(suite->modifyArray("IgnoreAllPathsBGX", [](Array& entries) { entries.clear(); }));
        EXPECT_EQ(suite->setObject("IgnoreAllPathsBGX", Value(ignored)), each.readable) << "held already";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), each.said);

        ASSERT_EQ(::chown(each.handedOver.c_str(), ::geteuid(), ::getegid()), 0); // given back
        EXPECT_TRUE(suite->isReadable());
        EXPECT_EQ(suite->array("IgnoreAllPathsBGX"), ignored);
        EXPECT_EQ(testsupport::readFileText(plist), bytes);
        EXPECT_FALSE(fs::exists(plist + ".corrupt"));
        EXPECT_TRUE(suite->setBool("IsActiveProtectionEnabledBGX", true));
    }
}

} // namespace
