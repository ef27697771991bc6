#include "Platform/Values/PropertyList.h"
#include "Screens/Common/TextFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct KeyUse {
    std::string key;
    std::size_t arguments;
    std::string where; // group file and line, for the failure message
};

std::vector<KeyUse> readGroup(const std::filesystem::path& file)
{
    std::vector<KeyUse> uses;
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line.starts_with('#'))
            continue;
        std::istringstream fields(line);
        KeyUse use;
        fields >> use.key >> use.arguments;
        use.where = file.filename().string() + ":" + std::to_string(number);
        EXPECT_FALSE(fields.fail()) << use.where << ": expected \"<key> <argument count>\"";
        uses.push_back(use);
    }
    return uses;
}

TEST(ScreenTextKeys, EveryKeyOfEveryGroupIsInTheEnglishTableWithItsArgumentCount)
{
    const auto table = platform::readPropertyListFile(BG_ENGLISH_TABLE);
    ASSERT_TRUE(table && table->asDictionary()) << "the English table does not read as a dictionary";
    const platform::Dictionary& texts = *table->asDictionary();

    std::size_t groups = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BG_TEXT_KEY_GROUPS)) {
        if (entry.path().extension() != ".txt")
            continue;
        ++groups;
        for (const KeyUse& use : readGroup(entry.path())) {
            const auto found = texts.find(use.key);
            const std::string* text = found == texts.end() ? nullptr : found->second.asText();
            if (!text) {
                ADD_FAILURE() << use.where << ": " << use.key << " has no text in English.plist";
                continue;
            }
            EXPECT_FALSE(text->empty()) << use.where << ": " << use.key << " is empty";
            EXPECT_EQ(formatArgumentCount(*text), use.arguments)
                << use.where << ": " << use.key << " = \"" << *text << "\"";
        }
    }
    EXPECT_GT(groups, 0u) << "no key groups in " << BG_TEXT_KEY_GROUPS;
}

} // namespace
