#include "Foundation/IgnoreList.h"

#include "Foundation/Settings.h"
#include "TestRoot.h"

#include <string>
#include <vector>

namespace {

using IgnoreListTest = testsupport::PlatformRootTest;

struct RuleCase {
    std::string path;
    bool covered;  // an entry is the path or a folder above it
    bool kept;     // removing the path would remove something on the list
};

TEST(IgnoredPathsRule, AnEntryCoversItselfAndEverythingBelowIt)
{
    const IgnoredPaths ignored({"/Applications/Kept.app", "/Users/a/Library/Caf\u00e9/", "", "/Users/a/x/./y"});
    const std::vector<RuleCase> cases{
        {"/Applications/Kept.app", true, true},
        {"/Applications/Kept.app/", true, true},
        {"/Applications/Kept.app/Contents/Info.plist", true, true},
        {"/Applications", false, true},
        {"/", false, true},
        {"/Applications/Kept.apple", false, false},
        {"/Applications/Kept", false, false},
        {"/applications/Kept.app", false, false},
        {"/Users/a/Library/Cafe\u0301/prefs.plist", true, true},
        {"/Users/a/Library/Cafe\u0301", true, true},
        {"/Users/a/Library", false, true},
        {"/Users/a/x/y/z", true, true},
        {"/Users/a/Library/Applications/Kept.app", false, false},
        {"", false, false},
        {"/Downloads/Other.dmg", false, false},
    };
    for (const auto& [path, covered, kept] : cases) {
        EXPECT_EQ(ignored.covers(path), covered) << path;
        EXPECT_EQ(ignored.keepsAnythingAt(path), kept) << path;
    }
    EXPECT_FALSE(IgnoredPaths().keepsAnythingAt("/"));
}

// Every reader sees the text entries; without the suite, or with a value that is no
// list, nothing is ignored.
TEST_F(IgnoreListTest, TheStoredListIsItsTextEntries)
{
    const struct {
        platform::Value stored;
        bool keepsTheBundle;
    } cases[] = {
        {platform::Array{"/Applications/Kept.app"}, true},
        {platform::Array{5, "/Applications/Kept.app", platform::Array{"/x"}}, true},
        {platform::Value("/Applications/Kept.app"), false},
        {platform::Array{true}, false},
    };
    for (const auto& each : cases) {
        appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, each.stored);
        EXPECT_EQ(IgnoredPaths::stored().covers("/Applications/Kept.app/Contents"), each.keepsTheBundle);
    }
}

// Removing takes exactly the entries named by position and path: of a path stored
// twice the other copy stays, an entry of another kind stays where it stood, and an
// entry no longer where it was read stays too.
TEST_F(IgnoreListTest, RemovingTakesExactlyTheNamedEntries)
{
    const platform::Value foreign(true);
    const platform::Array stored{"/a", foreign, "/b", "/a", "/c"};
    const struct {
        std::vector<StoredIgnoreListEntry> removed;
        platform::Array left;
    } cases[] = {
        {{{0, "/a"}}, {foreign, "/b", "/a", "/c"}},
        {{{2, "/a"}}, {"/a", foreign, "/b", "/c"}},
        {{{1, "/b"}, {3, "/c"}}, {"/a", foreign, "/a"}},
        {{{1, "/a"}, {7, "/c"}}, stored},
    };
    for (const auto& each : cases) {
        appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, stored);
        removeFromStoredIgnoreList(each.removed);
        EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), each.left);
    }
    EXPECT_EQ(storedIgnoreListPaths(), (std::vector<std::string>{"/a", "/b", "/a", "/c"}));
}

} // namespace
