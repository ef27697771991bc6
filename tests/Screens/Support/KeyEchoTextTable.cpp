#include "KeyEchoTextTable.h"

#include "Foundation/PresentationSlots.h"

#include <string>

namespace screentest {

KeyEchoTextTable::KeyEchoTextTable() : previous_(languageTable())
{
    platform::Dictionary echo;
    for (int number = 1; number < 1000; ++number) {
        const std::string key = "IDS_BGX_" + std::to_string(number);
        echo[key] = key;
    }
    languageTable() = std::move(echo);
}

KeyEchoTextTable::~KeyEchoTextTable()
{
    languageTable() = std::move(previous_);
}

} // namespace screentest
