#include "Startup/DisabledStartupItemRecords.h"

#include <algorithm>
#include <mutex>

namespace {

using platform::Dictionary;
using platform::Value;

// How the records of one list are told apart.
struct RecordIdentity {
    const char* storeKey;
    const char* firstKey;
    const char* secondKey;
    bool addNeedsBothKeys; // adding leaves a record out only when both keys match
};

constexpr RecordIdentity loginItemIdentity{kLoginItemsUD, "appUrlPath", "program", true};
constexpr RecordIdentity launchAgentIdentity{kLaunchAgentsUD, "label", "plistPath", false};

std::mutex& storeMutex()
{
    static std::mutex mutex;
    return mutex;
}

bool sameText(const Dictionary& left, const Dictionary& right, const char* key)
{
    const auto l = left.find(key);
    const auto r = right.find(key);
    return l != left.end() && r != right.end() && l->second.asText() && r->second.asText()
           && *l->second.asText() == *r->second.asText();
}

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

// The stored entries, of whatever kind; none when the value is not a list. Call
// with storeMutex() held.
platform::Array readEntries(const RecordIdentity& identity)
{
    const auto stored = standardDefaults().object(identity.storeKey);
    return stored && stored->asArray() ? *stored->asArray() : platform::Array{};
}

void writeEntries(const RecordIdentity& identity, platform::Array entries)
{
    standardDefaults().setObject(identity.storeKey, Value(std::move(entries)));
}

std::vector<Dictionary> disabledRecords(const RecordIdentity& identity)
{
    std::lock_guard lock(storeMutex());
    std::vector<Dictionary> records;
    for (const Value& entry : readEntries(identity))
        if (const Dictionary* record = entry.asDictionary())
            records.push_back(*record);
    return records;
}

// Entries that are no records are passed over and written back as they were.
void addRecord(const RecordIdentity& identity, const Dictionary& record)
{
    std::lock_guard lock(storeMutex());
    platform::Array entries = readEntries(identity);
    if (std::any_of(entries.begin(), entries.end(), [&](const Value& entry) {
            return entry.asDictionary() && isSameForAdding(identity, *entry.asDictionary(), record);
        }))
        return;
    entries.emplace_back(record);
    writeEntries(identity, std::move(entries));
}

void removeRecord(const RecordIdentity& identity, const Dictionary& record)
{
    std::lock_guard lock(storeMutex());
    platform::Array entries = readEntries(identity);
    std::erase_if(entries, [&](const Value& entry) {
        return entry.asDictionary() && sharesEitherKey(identity, *entry.asDictionary(), record);
    });
    writeEntries(identity, std::move(entries));
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

void addDisabledLoginItem(const Dictionary& record)
{
    addRecord(loginItemIdentity, record);
}

void addDisabledLaunchAgent(const Dictionary& record)
{
    addRecord(launchAgentIdentity, record);
}

void removeDisabledLoginItem(const Dictionary& record)
{
    removeRecord(loginItemIdentity, record);
}

void removeDisabledLaunchAgent(const Dictionary& record)
{
    removeRecord(launchAgentIdentity, record);
}

bool isOtherLoginItemRecord(const Dictionary& stored, const Dictionary& given)
{
    return !sharesEitherKey(loginItemIdentity, stored, given);
}

bool isOtherLaunchAgentRecord(const Dictionary& stored, const Dictionary& given)
{
    return !sharesEitherKey(launchAgentIdentity, stored, given);
}
