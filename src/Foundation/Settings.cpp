#include "Foundation/Settings.h"

#include <algorithm>
#include <memory>

namespace {

using Store = SettingsStore;
using Type = SettingsType;

std::vector<SettingsKeyInfo> makeSettingsKeyTable()
{
    namespace K = SettingsKey;
    return {
        {K::launchAutomatically, Store::standard, Type::boolean, true},
        {K::scanOnAutoLaunch, Store::standard, Type::boolean, true},
        {K::automaticallyUpdateDefinitions, Store::standard, Type::boolean, true},
        {K::automaticallyUpdateBG, Store::standard, Type::boolean, true},
        {K::isDefinitionsAreUpToDate, Store::standard, Type::boolean, true},
        {K::isPopUp, Store::standard, Type::boolean, false},
        {K::definitionsNewVersion, Store::standard, Type::real, 1.0},
        {K::definitionsOldVersion, Store::standard, Type::real, 1.0},
        {K::definitionLastUpdatedOnDate, Store::standard, Type::date, {}},
        {K::appInstalledDate, Store::standard, Type::date, {}},
        {K::firstRun, Store::standard, Type::boolean, {}},
        {K::lastVersion, Store::standard, Type::text, {}},
        {K::lastScanDate, Store::standard, Type::date, {}},
        {K::totalDeceptiveAppsRemovedSoFar, Store::standard, Type::integer, {}},
        {K::countAdvertise, Store::standard, Type::integer, {}},
        {K::loginItemsUD, Store::standard, Type::arrayOfDictionaries, {}},
        {K::launchAgentsUD, Store::standard, Type::arrayOfDictionaries, {}},
        {K::moveDeletedToTrash, Store::appGroup, Type::boolean, true},
        {K::isActiveProtectionEnabled, Store::appGroup, Type::boolean, false},
        {K::isStartupProtectionEnabled, Store::appGroup, Type::boolean, false},
        {K::isCrashesProtectionEnabled, Store::appGroup, Type::boolean, true},
        {K::ignoreAllPaths, Store::appGroup, Type::arrayOfTexts, {}},
        {K::phoneNumber, Store::appGroup, Type::text, {}},
        {K::startupItemEnabledPathAGSQ, Store::appGroup, Type::text, {}},
        {K::startupItemEnabledDateAGSQ, Store::appGroup, Type::date, {}},
        {K::clickedManageAppDateAGSQ, Store::appGroup, Type::date, {}},
        {K::clickedCrashesDateAGSQ, Store::appGroup, Type::date, {}},
        {K::snoozeFor, Store::appGroup, Type::integer, {}},
        {K::snoozeForDate, Store::appGroup, Type::date, {}},
        {K::newDownloadPathsWithNags, Store::standard, Type::arrayOfTexts, {}},
    };
}

bool isArrayOf(const platform::Value& value, platform::Value::Kind kind)
{
    const platform::Array* array = value.asArray();
    return array && std::all_of(array->begin(), array->end(),
                                [kind](const platform::Value& element) { return element.kind() == kind; });
}

} // namespace

platform::UserDefaults* appGroupDefaults()
{
    static const std::unique_ptr<platform::UserDefaults> suite =
        platform::UserDefaults::suite(appGroupSuiteName);
    return suite.get();
}

platform::UserDefaults& standardDefaults()
{
    return platform::UserDefaults::standard();
}

const std::vector<SettingsKeyInfo>& settingsKeyTable()
{
    static const std::vector<SettingsKeyInfo> table = makeSettingsKeyTable();
    return table;
}

const SettingsKeyInfo* settingsKeyInfo(std::string_view key)
{
    const auto& table = settingsKeyTable();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [key](const SettingsKeyInfo& info) { return info.key == key; });
    return found == table.end() ? nullptr : &*found;
}

platform::UserDefaults* settingsStore(SettingsStore store)
{
    return store == SettingsStore::appGroup ? appGroupDefaults() : &standardDefaults();
}

bool isSettingsValueOfType(const platform::Value& value, SettingsType type)
{
    using Kind = platform::Value::Kind;
    switch (type) {
    case Type::boolean: return value.kind() == Kind::Boolean;
    case Type::real: return value.kind() == Kind::Real || value.kind() == Kind::Integer;
    case Type::integer: return value.kind() == Kind::Integer;
    case Type::text: return value.kind() == Kind::Text;
    case Type::date: return value.kind() == Kind::Date;
    case Type::arrayOfTexts: return isArrayOf(value, Kind::Text);
    case Type::arrayOfDictionaries: return isArrayOf(value, Kind::Dictionary);
    }
    return false;
}

std::optional<platform::Value> readSetting(std::string_view key)
{
    const SettingsKeyInfo* info = settingsKeyInfo(key);
    platform::UserDefaults* store = info ? settingsStore(info->store) : nullptr;
    if (!store)
        return std::nullopt;
    auto value = store->object(info->key);
    if (!value || !isSettingsValueOfType(*value, info->type))
        return std::nullopt;
    return value;
}

bool writeSetting(std::string_view key, const platform::Value& value)
{
    const SettingsKeyInfo* info = settingsKeyInfo(key);
    platform::UserDefaults* store = info ? settingsStore(info->store) : nullptr;
    if (!store || !isSettingsValueOfType(value, info->type))
        return false;
    return store->setObject(info->key, value);
}
