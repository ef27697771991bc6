#include "Helper/LDLaunchCtl/LDLaunchJob.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"
#include "Helper/LDLaunchCtl/JobPlists.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <ostream>

using platform::Array;
using platform::Dictionary;
using platform::Value;

namespace {

struct MirrorCase {
    const char* name;
    std::function<void(LDLaunchJob&)> change;
    const char* key;
    std::optional<Value> expected; // null: the key is absent
};

// Names the case in test listings, in place of its raw bytes.
std::ostream& operator<<(std::ostream& out, const MirrorCase& mirrorCase)
{
    return out << mirrorCase.name;
}

class LDLaunchJobMirror : public ::testing::TestWithParam<MirrorCase> {};

TEST_P(LDLaunchJobMirror, WritesTheDictionaryByTheMirrorRules)
{
    LDLaunchJob job;
    job.setLabel("com.example.seed"); // so that the dictionary exists
    GetParam().change(job);
    const auto dictionary = job.dictionary();
    ASSERT_TRUE(dictionary);
    const auto found = dictionary->find(GetParam().key);
    if (GetParam().expected) {
        ASSERT_NE(found, dictionary->end());
        EXPECT_EQ(found->second, *GetParam().expected);
    } else {
        EXPECT_EQ(found, dictionary->end());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LDLaunchJobMirror,
    ::testing::Values(
        MirrorCase{"BoolNoIsStoredAsFalse", [](LDLaunchJob& j) { j.setOnDemand(false); }, "OnDemand", Value(false)},
        MirrorCase{"BoolYes", [](LDLaunchJob& j) { j.setRunAtLoad(true); }, "RunAtLoad", Value(true)},
        MirrorCase{"EmptyLabelRemovesIt", [](LDLaunchJob& j) { j.setLabel(""); }, "Label", std::nullopt},
        MirrorCase{"NoTextRemovesIt", [](LDLaunchJob& j) { j.setLabel(std::nullopt); }, "Label", std::nullopt},
        MirrorCase{"IntegerZeroIsStored", [](LDLaunchJob& j) { j.setStartInterval(0); }, "StartInterval", Value(0)},
        MirrorCase{"EmptyArrayRemovesIt",
                   [](LDLaunchJob& j) {
                       j.setWatchPaths(Array{"/tmp/a"});
                       j.setWatchPaths(Array{});
                   },
                   "WatchPaths", std::nullopt},
        MirrorCase{"EmptyDictionaryRemovesIt", [](LDLaunchJob& j) { j.setEnvironmentVariables(Dictionary{}); },
                   "EnvironmentVariables", std::nullopt},
        MirrorCase{"StringsAreStoredAsAnArray",
                   [](LDLaunchJob& j) { j.setProgramArguments(std::vector<std::string>{"/bin/sleep", "9"}); },
                   "ProgramArguments", Value(Array{"/bin/sleep", "9"})},
        MirrorCase{"KeepAliveHoldsAnyObject",
                   [](LDLaunchJob& j) { j.setKeepAlive(Dictionary{{"SuccessfulExit", false}}); }, "KeepAlive",
                   Value(Dictionary{{"SuccessfulExit", false}})},
        MirrorCase{"PosixSpawnTypeIsItsOwnKey", [](LDLaunchJob& j) { j.setPosixSpawnType("Adaptive"); },
                   "PosixSpawnType", Value("Adaptive")},
        MirrorCase{"OneScheduleIsItsDictionary",
                   [](LDLaunchJob& j) { j.setStartCalendarInterval(LDLaunchJobSchedule::dailyRunAtHour(7, 30)); },
                   "StartCalendarInterval", Value(Dictionary{{"Hour", 7}, {"Minute", 30}})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LDLaunchJob, NewJobHasNoDictionaryAndSaysNoJobSet)
{
    LDLaunchJob job;
    EXPECT_FALSE(job.dictionary());
    EXPECT_EQ(job.description(), "No Job Set");
}

TEST(LDLaunchJob, WithoutObserversPropertyChangesStayOutOfTheDictionary)
{
    LDLaunchJob job = LDLaunchJob::initWithoutObservers();
    job.setLabel("com.example.quiet");
    EXPECT_EQ(job.Label(), "com.example.quiet");
    EXPECT_EQ(job.dictionary(), Dictionary{});
}

TEST(LDLaunchJob, FromDictionaryDropsUnknownKeysAndKeepsWrongKindValues)
{
    const Dictionary source{{"Label", "com.example.x"}, {"Unknown", "dropped"}, {"RunAtLoad", "yes"},
                            {"PID", 42}, {"ProgramArguments", Array{"/bin/true"}}};
    LDLaunchJob job = LDLaunchJob::jobFromDictionary(source, LDLaunchDomain::globalLaunchAgent);
    const auto dictionary = *job.dictionary();
    EXPECT_EQ(dictionary.count("Unknown"), 0u);
    EXPECT_EQ(dictionary.at("RunAtLoad"), Value("yes"));
    EXPECT_FALSE(job.RunAtLoad());
    EXPECT_EQ(job.PID(), 42);
    EXPECT_EQ(dictionary.at("PID"), Value(42));
    EXPECT_EQ(job.domain(), LDLaunchDomain::globalLaunchAgent);
    job.setOnDemand(true); // mirroring is on after filling
    EXPECT_EQ(job.dictionary()->at("OnDemand"), Value(true));
}

TEST(LDLaunchJob, EveryKeyOfTheTableRoundTripsThroughTheDictionary)
{
    EXPECT_EQ(LDLaunchJobKeys().size() + 2, 63u); // and the two schedule keys
    for (const auto& key : LDLaunchJobKeys()) {
        LDLaunchJob job;
        const Value value = key.kind == LDKeyKind::Bool ? Value(true)
                            : key.kind == LDKeyKind::Integer ? Value(5)
                            : key.kind == LDKeyKind::Strings || key.kind == LDKeyKind::Array ? Value(Array{"a"})
                            : key.kind == LDKeyKind::Dictionary ? Value(Dictionary{{"k", 1}})
                                                                : Value("text");
        ASSERT_TRUE(job.setValue(std::string(key.name), value)) << key.name;
        EXPECT_EQ(job.dictionary()->at(std::string(key.name)), value) << key.name;
    }
}

TEST(LDLaunchJob, UnknownJobHasNoLiveValues)
{
    LDLaunchJob job;
    job.setLabel("com.example.unknown");
    job.setDomain(LDLaunchDomain::userLaunchAgent);
    EXPECT_EQ(job.PID(), -1);
    EXPECT_EQ(job.LastExitStatus(), -1);
    EXPECT_FALSE(job.isCurrentlyLoaded());
    EXPECT_EQ(job.description(), "Is Loaded:NO\tLastExit:--\tPID:--\tLabel:com.example.unknown");
}

TEST(LDLaunchJob, ArchiveRestoresDictionaryAndNamesButNotMirroring)
{
    LDLaunchJob job;
    job.setLabel("com.example.archived");
    job.setProgram("/bin/true");
    job.setProgramArguments(std::vector<std::string>{"/bin/true"});
    job.setRunAtLoad(true);
    LDLaunchJob restored = LDLaunchJob::initWithCoder(job.encodeWithCoder());
    EXPECT_EQ(restored.dictionary(), job.dictionary());
    EXPECT_EQ(restored.Label(), "com.example.archived");
    EXPECT_EQ(restored.Program(), "/bin/true");
    EXPECT_FALSE(restored.RunAtLoad());
    restored.setLabel("com.example.changed");
    EXPECT_EQ(restored.dictionary()->at("Label"), Value("com.example.archived"));
}

TEST(LDLaunchJobSchedule, ReadsAndWritesTheLaunchdForm)
{
    const LDLaunchJobSchedule schedule(Dictionary{{"Minute", 30}, {"Day", 1}, {"Other", 9}});
    EXPECT_EQ(schedule.minute, 30);
    EXPECT_EQ(schedule.day, 1);
    EXPECT_EQ(schedule.hour, LDLaunchJobSchedule::undefined);
    EXPECT_EQ(schedule.dictionary(), (Dictionary{{"Minute", 30}, {"Day", 1}}));
}

TEST(LDLaunchJobSchedule, JobReadsSchedulesBackFromItsDictionary)
{
    const Dictionary source{{"Label", "com.example.cal"},
                            {"StartCalendarInterval", Array{Dictionary{{"Hour", 3}}, Dictionary{{"Weekday", 2}}}}};
    const LDLaunchJob job = LDLaunchJob::jobFromDictionary(source, LDLaunchDomain::userLaunchAgent);
    const auto schedules = job.StartCalendarIntervalArray();
    ASSERT_EQ(schedules.size(), 2u);
    EXPECT_EQ(schedules[0].hour, 3);
    EXPECT_EQ(schedules[1].weekday, 2);
}

class LDLaunchJobFromFile : public testsupport::PlatformRootTest {
protected:
    std::string plant(const std::filesystem::path& path, const Dictionary& contents)
    {
        std::filesystem::create_directories(path.parent_path());
        EXPECT_TRUE(platform::writePropertyListFile(path.string(), contents));
        return path.string();
    }
    const Dictionary job{{"Label", "com.example.file"}, {"ProgramArguments", Array{"/bin/true"}}};
};

TEST_F(LDLaunchJobFromFile, DomainFollowsTheFolder)
{
    struct Case {
        std::filesystem::path path;
        LDLaunchDomain domain;
    };
    const Case cases[] = {
        {testsupport::underRoot("/Library/LaunchAgents/a.plist"), LDLaunchDomain::globalLaunchAgent},
        {testsupport::underRoot("/Library/LaunchAgentsX/a.plist"), LDLaunchDomain::none},
        {testsupport::underRoot("/Library/LaunchDaemons/a.plist"), LDLaunchDomain::globalLaunchDaemon},
        {testsupport::underRoot("/System/Library/LaunchAgents/a.plist"), LDLaunchDomain::systemLaunchAgent},
        {testsupport::homeFolder() / "Documents/deep/a.plist", LDLaunchDomain::userLaunchAgent},
    };
    for (const auto& test : cases) {
        const auto read = LDLaunchJob::jobFromFile(plant(test.path, job));
        ASSERT_TRUE(read) << test.path;
        EXPECT_EQ(read->domain(), test.domain) << test.path;
    }
}

TEST_F(LDLaunchJobFromFile, NeedsALabelAndAProgramAndExpandsTilde)
{
    plant(testsupport::homeFolder() / "Library/LaunchAgents/full.plist", job);
    const auto read = LDLaunchJob::jobFromFile("~/Library/LaunchAgents/full.plist");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->domain(), LDLaunchDomain::userLaunchAgent);
    EXPECT_FALSE(LDLaunchJob::jobFromFile("/no/such/file.plist"));
    testsupport::plantFile(testsupport::homeFolder() / "Library/LaunchAgents/text.plist", "not a plist");
    EXPECT_FALSE(LDLaunchJob::jobFromFile("~/Library/LaunchAgents/text.plist"));
}

// Job plists in the shapes real jobs have: every key of the table comes back as
// it stands in the file, in the dictionary and (when of the key's kind) in its
// property; other keys are dropped.
TEST_F(LDLaunchJobFromFile, JobPlistsInTheShapesSeenInTheWild)
{
    const std::string root = testsupport::platformRootFolder().string();
    using Texts = std::vector<std::string>;
    struct Case {
        const char* fixture;
        bool read;
        std::optional<std::string> program;
        std::optional<Texts> arguments; // the texts among them
        std::optional<std::string> executable;
    };
    const Case cases[] = {
        {"program-only.plist", true, root + "/usr/local/bin/powerhelper", std::nullopt,
         root + "/usr/local/bin/powerhelper"},
        {"program-arguments-only.plist", true, std::nullopt,
         Texts{root + "/usr/local/bin/vpnagent", "--daemon", "--config=/etc/vpnagent.conf"},
         root + "/usr/local/bin/vpnagent"},
        {"program-and-arguments.plist", true, root + "/Applications/Tool.app/Contents/MacOS/Tool",
         Texts{"Tool", "--check-updates"}, "Tool"},
        {"program-with-dictionaries.plist", true, root + "/usr/local/sbin/printd", std::nullopt,
         root + "/usr/local/sbin/printd"},
        {"arguments-with-a-number.plist", true, std::nullopt, Texts{"/usr/bin/open", root + "/Applications/Tool.app"},
         "/usr/bin/open"},
        {"neither.plist", false, std::nullopt, std::nullopt, std::nullopt},
        {"no-label.plist", false, std::nullopt, std::nullopt, std::nullopt},
    };
    const auto folder = testsupport::homeFolder() / "Library/LaunchAgents";
    for (const auto& test : cases) {
        const auto path = jobplists::plant(test.fixture, folder);
        const auto read = LDLaunchJob::jobFromFile(path.string());
        ASSERT_EQ(read.has_value(), test.read) << test.fixture;
        if (!read)
            continue;
        Dictionary expected = *platform::readPropertyListFile(path.string())->asDictionary();
        expected.erase("AssociatedBundleIdentifiers");
        EXPECT_EQ(read->dictionary(), expected) << test.fixture;
        EXPECT_EQ(read->Label(), *expected.at("Label").asText()) << test.fixture;
        EXPECT_EQ(read->Program(), test.program) << test.fixture;
        EXPECT_EQ(read->ProgramArguments(), test.arguments) << test.fixture;
        EXPECT_EQ(read->executablePath(), test.executable) << test.fixture;
        EXPECT_EQ(read->domain(), LDLaunchDomain::userLaunchAgent) << test.fixture;
    }
}

TEST_F(LDLaunchJobFromFile, KeysOfEveryKindReadBackAsProperties)
{
    const auto path = jobplists::plant("program-with-dictionaries.plist", testsupport::homeFolder() / "Library/LaunchAgents");
    const auto read = LDLaunchJob::jobFromFile(path.string());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->KeepAlive(), Value(Dictionary{{"SuccessfulExit", false}, {"NetworkState", true}}));
    const auto sockets = read->Sockets();
    ASSERT_TRUE(sockets);
    EXPECT_EQ(sockets->at("Listeners"), Value(Dictionary{{"SockServiceName", "ipp"}, {"SockFamily", "IPv4"}}));
    EXPECT_EQ(read->EnvironmentVariables(), (Dictionary{{"PRINTD_LOG", "warn"}}));
    const auto schedules = read->StartCalendarIntervalArray();
    ASSERT_EQ(schedules.size(), 2u);
    EXPECT_EQ(schedules[0].hour, 3);
    EXPECT_EQ(schedules[0].minute, 15);
    EXPECT_EQ(schedules[1].weekday, 1);
    EXPECT_FALSE(read->RunAtLoad()); // a text, kept only in the dictionary
    EXPECT_EQ(read->dictionary()->at("RunAtLoad"), Value("YES"));
}

TEST(LDLaunchJob, ArgumentsHoldingOtherValuesAreKeptAndTheProgramIsTheFirstText)
{
    const LDLaunchJob mixed = LDLaunchJob::jobFromDictionary(
        {{"Label", "com.example.mixed"}, {"ProgramArguments", Array{"/bin/true", 1, "-x"}}}, LDLaunchDomain::userLaunchAgent);
    EXPECT_EQ(mixed.ProgramArguments(), (std::vector<std::string>{"/bin/true", "-x"}));
    EXPECT_EQ(mixed.executablePath(), "/bin/true");

    const LDLaunchJob numberFirst = LDLaunchJob::jobFromDictionary(
        {{"Label", "com.example.number"}, {"Program", "/bin/true"}, {"ProgramArguments", Array{7, "/bin/true"}}},
        LDLaunchDomain::userLaunchAgent);
    EXPECT_EQ(numberFirst.executablePath(), std::nullopt);

    LDLaunchJob emptyArguments;
    emptyArguments.setProgram("/bin/true");
    emptyArguments.setProgramArguments(std::vector<std::string>{});
    EXPECT_EQ(emptyArguments.executablePath(), "/bin/true");
}

TEST(LDLaunchDomain, FoldersPathsAndLaunchdDomains)
{
    EXPECT_EQ(LDJobPlistPath(LDLaunchDomain::globalLaunchAgent, "com.x.y"),
              platform::hostPath("/Library/LaunchAgents/com.x.y.plist"));
    EXPECT_FALSE(LDJobPlistPath(LDLaunchDomain::none, "com.x.y"));
    EXPECT_FALSE(LDJobPlistPath(LDLaunchDomain::userLaunchAgent, ""));
    EXPECT_EQ(LDDomainFolder(static_cast<LDLaunchDomain>(9)), LDDomainFolder(LDLaunchDomain::userLaunchAgent));
    EXPECT_EQ(LDServiceManagementDomain(LDLaunchDomain::globalLaunchAgent), platform::LaunchdDomain::User);
    EXPECT_EQ(LDServiceManagementDomain(LDLaunchDomain::systemLaunchAgent), platform::LaunchdDomain::System);
}

} // namespace
