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

// Call with storeMutex() held.
std::vector<Dictionary> readRecords(const RecordIdentity& identity)
{
    std::vector<Dictionary> records;
    const auto stored = standardDefaults().object(identity.storeKey);
    if (!stored || !stored->asArray())
        return records;
    for (const Value& entry : *stored->asArray()) {
        if (!entry.asDictionary())
            return {};
        records.push_back(*entry.asDictionary());
    }
    return records;
}

void writeRecords(const RecordIdentity& identity, const std::vector<Dictionary>& records)
{
    platform::Array array(records.begin(), records.end());
    standardDefaults().setObject(identity.storeKey, Value(std::move(array)));
}

std::vector<Dictionary> disabledRecords(const RecordIdentity& identity)
{
    std::lock_guard lock(storeMutex());
    return readRecords(identity);
}

void addRecord(const RecordIdentity& identity, const Dictionary& record)
{
    std::lock_guard lock(storeMutex());
    auto records = readRecords(identity);
    if (std::any_of(records.begin(), records.end(),
                    [&](const Dictionary& stored) { return isSameForAdding(identity, stored, record); }))
        return;
    records.push_back(record);
    writeRecords(identity, records);
}

void removeRecord(const RecordIdentity& identity, const Dictionary& record)
{
    std::lock_guard lock(storeMutex());
    auto records = readRecords(identity);
    std::erase_if(records, [&](const Dictionary& stored) { return sharesEitherKey(identity, stored, record); });
    writeRecords(identity, records);
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
