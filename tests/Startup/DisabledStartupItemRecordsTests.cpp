#include "Startup/DisabledStartupItemRecords.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using platform::Dictionary;
using platform::Value;

class DisabledRecordsTest : public testsupport::PlatformRootTest {
protected:
    static Dictionary loginRecord(std::optional<std::string> appUrlPath, std::optional<std::string> program,
                                  const std::string& tag = "")
    {
        Dictionary record{{"isEnable", "0"}, {"isSMLoginItem", false}};
        if (appUrlPath)
            record["appUrlPath"] = *appUrlPath;
        if (program)
            record["program"] = *program;
        if (!tag.empty())
            record["label"] = tag;
        return record;
    }

    static Dictionary agentRecord(const std::string& label, const std::string& plistPath)
    {
        return {{"label", label}, {"plistPath", plistPath}, {"ldLaunchDomain", "1"}};
    }

    static std::vector<std::string> labels(const std::vector<Dictionary>& records)
    {
        std::vector<std::string> out;
        for (const auto& record : records)
            out.push_back(*record.at("label").asText());
        return out;
    }
};

// A stored value that is no list reads empty and the next change replaces it. In a
// list, an entry that is no record is passed over when read, and every change keeps
// it, and every other record, as stored.
TEST_F(DisabledRecordsTest, ForeignEntriesArePassedOverWhenReadAndKeptWhenWritten)
{
    EXPECT_TRUE(disabledLoginItems().empty());
    standardDefaults().setObject(kLaunchAgentsUD, "records");
    EXPECT_TRUE(disabledLaunchAgents().empty());
    addDisabledLaunchAgent(agentRecord("x", "/p/x.plist"));
    EXPECT_EQ(labels(disabledLaunchAgents()), std::vector<std::string>{"x"});

    const Dictionary kept = loginRecord("/Applications/K.app", "com.k.helper", "kept");
    const Dictionary added = loginRecord("/Applications/A.app", std::nullopt, "a");
    standardDefaults().setObject(kLoginItemsUD, platform::Array{Value(kept), Value(5)});
    EXPECT_EQ(labels(disabledLoginItems()), std::vector<std::string>{"kept"});
    addDisabledLoginItem(added);
    EXPECT_EQ(standardDefaults().object(kLoginItemsUD), Value(platform::Array{Value(kept), Value(5), Value(added)}));
    removeDisabledLoginItem(added);
    EXPECT_EQ(standardDefaults().object(kLoginItemsUD), Value(platform::Array{Value(kept), Value(5)}));
}

TEST_F(DisabledRecordsTest, AddingLeavesOutOnlyTheSameItem)
{
    // Login items are the same only when both the application path and the program match.
    addDisabledLoginItem(loginRecord("/Applications/A.app", "com.a.helper", "a"));
    addDisabledLoginItem(loginRecord("/Applications/A.app", "com.a.helper", "again"));
    addDisabledLoginItem(loginRecord("/Applications/A.app", "com.other", "b"));
    addDisabledLoginItem(loginRecord("/Applications/S.app", std::nullopt, "s1"));
    addDisabledLoginItem(loginRecord("/Applications/S.app", std::nullopt, "s2"));
    EXPECT_EQ(labels(disabledLoginItems()), (std::vector<std::string>{"a", "b", "s1", "s2"}));

    // Launch agents are the same when either the label or the plist path matches.
    addDisabledLaunchAgent(agentRecord("x", "/p/x.plist"));
    addDisabledLaunchAgent(agentRecord("y", "/p/x.plist"));
    addDisabledLaunchAgent(agentRecord("x", "/p/other.plist"));
    addDisabledLaunchAgent(agentRecord("z", "/p/z.plist"));
    EXPECT_EQ(labels(disabledLaunchAgents()), (std::vector<std::string>{"x", "z"}));
}

// A job's record drops the jobs of its label or program, a session entry's the entries
// of its application: a job whose program lies inside an application that is also a
// session entry never takes the entry's record.
TEST_F(DisabledRecordsTest, DroppingRemovesOnlyTheRecordsOfTheSameItemAndNeverMatchesAbsentValues)
{
    addDisabledLoginItem(loginRecord("/Applications/A.app", "com.a", "com.job"));
    addDisabledLoginItem(loginRecord("/Applications/B.app", "com.b", "byProgram"));
    addDisabledLoginItem(loginRecord("/Applications/A.app", std::nullopt, "sessionA"));
    addDisabledLoginItem(loginRecord(std::nullopt, std::nullopt, "neither"));
    addDisabledLoginItem(loginRecord("/Applications/C.app", std::nullopt, "sessionC"));
    removeDisabledLoginItem(loginRecord("/Applications/A.app", "com.b", "com.job"));
    EXPECT_EQ(labels(disabledLoginItems()), (std::vector<std::string>{"sessionA", "neither", "sessionC"}));
    removeDisabledLoginItem(loginRecord("/Applications/A.app", std::nullopt));
    EXPECT_EQ(labels(disabledLoginItems()), (std::vector<std::string>{"neither", "sessionC"}));

    // A given record without the keys matches nothing, not the stored records without them.
    removeDisabledLoginItem(loginRecord(std::nullopt, std::nullopt));
    EXPECT_EQ(labels(disabledLoginItems()), (std::vector<std::string>{"neither", "sessionC"}));
    // A key holding a number never matches.
    Dictionary numbered = loginRecord(std::nullopt, std::nullopt);
    numbered["appUrlPath"] = 5;
    EXPECT_TRUE(isOtherLoginItemRecord(numbered, numbered));

    addDisabledLaunchAgent(agentRecord("x", "/p/x.plist"));
    addDisabledLaunchAgent(agentRecord("y", "/p/y.plist"));
    removeDisabledLaunchAgent(agentRecord("x", "/p/y.plist"));
    EXPECT_TRUE(disabledLaunchAgents().empty());
}

TEST_F(DisabledRecordsTest, DroppingWithTheKeyMissingWritesAnEmptyArray)
{
    removeDisabledLaunchAgent(agentRecord("x", "/p/x.plist"));
    const auto stored = standardDefaults().object(kLaunchAgentsUD);
    ASSERT_TRUE(stored && stored->asArray());
    EXPECT_TRUE(stored->asArray()->empty());
}

TEST_F(DisabledRecordsTest, ChangesFromSeveralThreadsAreAllKept)
{
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([i] {
            const std::string n = std::to_string(i);
            addDisabledLaunchAgent(agentRecord("agent" + n, "/p/" + n + ".plist"));
            addDisabledLaunchAgent(agentRecord("gone" + n, "/p/gone" + n + ".plist"));
            removeDisabledLaunchAgent(agentRecord("gone" + n, "/none"));
        });
    for (auto& thread : threads)
        thread.join();
    auto stored = labels(disabledLaunchAgents());
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"agent0", "agent1", "agent2", "agent3", "agent4", "agent5",
                                                "agent6", "agent7"}));
}

} // namespace
