#include "Startup/DisabledStartupItemRecords.h"

#include <algorithm>

namespace {

using platform::Dictionary;
using platform::Value;

bool sameText(const Dictionary& left, const Dictionary& right, const char* key)
{
    const auto l = left.find(key);
    const auto r = right.find(key);
    return l != left.end() && r != right.end() && l->second.asText() && r->second.asText()
           && *l->second.asText() == *r->second.asText();
}

bool hasText(const Dictionary& record, const char* key)
{
    const auto found = record.find(key);
    return found != record.end() && found->second.asText();
}

// A login item's records name the same item: two jobs (records with a "program") by
// their label or their program, two session entries by their application's path.
bool namesSameLoginItem(const Dictionary& stored, const Dictionary& given)
{
    const bool job = hasText(given, "program");
    if (job != hasText(stored, "program"))
        return false;
    return job ? sameText(stored, given, "label") || sameText(stored, given, "program")
               : sameText(stored, given, "appUrlPath");
}

bool namesSameLaunchAgent(const Dictionary& stored, const Dictionary& given)
{
    return sameText(stored, given, "label") || sameText(stored, given, "plistPath");
}

// How the records of one list are told apart.
struct RecordIdentity {
    const char* storeKey;
    const char* firstKey;
    const char* secondKey;
    bool addNeedsBothKeys; // adding leaves a record out only when both keys match
    bool (*namesSameItem)(const Dictionary& stored, const Dictionary& given); // what a drop takes
};

constexpr RecordIdentity loginItemIdentity{kLoginItemsUD, "appUrlPath", "program", true, namesSameLoginItem};
constexpr RecordIdentity launchAgentIdentity{kLaunchAgentsUD, "label", "plistPath", false, namesSameLaunchAgent};

bool sharesEitherKey(const RecordIdentity& identity, const Dictionary& stored, const Dictionary& given)
{
    return sameText(stored, given, identity.firstKey) || sameText(stored, given, identity.secondKey);
}

bool isSameForAdding(const RecordIdentity& identity, const Dictionary& stored, const Dictionary& given)
{
    if (identity.addNeedsBothKeys)
        return sameText(stored, given, identity.firstKey) && sameText(stored, given, identity.secondKey);
    return sharesEitherKey(identity, stored, given);
}

std::vector<Dictionary> disabledRecords(const RecordIdentity& identity)
{
    std::vector<Dictionary> records;
    for (const Value& entry : standardDefaults().array(identity.storeKey).value_or(platform::Array{}))
        if (const Dictionary* record = entry.asDictionary())
            records.push_back(*record);
    return records;
}

// Entries that are no records are passed over and written back as they were.
bool addRecord(const RecordIdentity& identity, const Dictionary& record)
{
    return standardDefaults().modifyArray(identity.storeKey, [&](platform::Array& entries) {
        if (std::none_of(entries.begin(), entries.end(), [&](const Value& entry) {
                return entry.asDictionary() && isSameForAdding(identity, *entry.asDictionary(), record);
            }))
            entries.emplace_back(record);
    });
}

bool removeRecord(const RecordIdentity& identity, const Dictionary& record)
{
    return standardDefaults().modifyArray(identity.storeKey, [&](platform::Array& entries) {
        std::erase_if(entries, [&](const Value& entry) {
            return entry.asDictionary() && identity.namesSameItem(*entry.asDictionary(), record);
        });
    });
}

bool takeBackRecord(const RecordIdentity& identity, const Dictionary& record)
{
    return standardDefaults().modifyArray(identity.storeKey, [&](platform::Array& entries) {
        const auto last = std::find_if(entries.rbegin(), entries.rend(), [&](const Value& entry) {
            return entry.asDictionary() && *entry.asDictionary() == record;
        });
        if (last != entries.rend())
            entries.erase(std::next(last).base());
    });
}

} // namespace

std::vector<Dictionary> disabledLoginItems()
{
    return disabledRecords(loginItemIdentity);
}

std::vector<Dictionary> disabledLaunchAgents()
{
    return disabledRecords(launchAgentIdentity);
}

bool addDisabledLoginItem(const Dictionary& record)
{
    return addRecord(loginItemIdentity, record);
}

bool addDisabledLaunchAgent(const Dictionary& record)
{
    return addRecord(launchAgentIdentity, record);
}

bool removeDisabledLoginItem(const Dictionary& record)
{
    return removeRecord(loginItemIdentity, record);
}

bool removeDisabledLaunchAgent(const Dictionary& record)
{
    return removeRecord(launchAgentIdentity, record);
}

bool takeBackDisabledLoginItem(const Dictionary& record)
{
    return takeBackRecord(loginItemIdentity, record);
}

bool takeBackDisabledLaunchAgent(const Dictionary& record)
{
    return takeBackRecord(launchAgentIdentity, record);
}

bool isOtherLoginItemRecord(const Dictionary& stored, const Dictionary& given)
{
    return !namesSameLoginItem(stored, given);
}

bool isOtherLaunchAgentRecord(const Dictionary& stored, const Dictionary& given)
{
    return !namesSameLaunchAgent(stored, given);
}
