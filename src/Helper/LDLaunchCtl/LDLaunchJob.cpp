#include "Helper/LDLaunchCtl/LDLaunchJob.h"

#include "Platform/Launchd/HelperTool.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <algorithm>
#include <array>

using platform::Array;
using platform::Dictionary;
using platform::Value;

namespace {

const Value kNoValue;

bool isNumber(const Value& value)
{
    return value.asBoolean() || value.numberAsDouble();
}

double numberOf(const Value& value)
{
    return value.asBoolean() ? (*value.asBoolean() ? 1.0 : 0.0) : value.numberAsDouble().value_or(0.0);
}

bool isEmptyValue(const Value& value)
{
    return value.isNull() || (value.asText() && value.asText()->empty()) ||
           (value.asArray() && value.asArray()->empty()) || (value.asDictionary() && value.asDictionary()->empty());
}

// The value as the property of that kind holds it; null when it is of another kind.
std::optional<Value> propertyValue(LDKeyKind kind, const Value& value)
{
    if (value.isNull())
        return value;
    switch (kind) {
    case LDKeyKind::Bool:
        return isNumber(value) ? std::optional<Value>(numberOf(value) != 0.0) : std::nullopt;
    case LDKeyKind::Integer:
        return isNumber(value) ? std::optional<Value>(static_cast<long long>(numberOf(value))) : std::nullopt;
    case LDKeyKind::Text:
        return value.asText() ? std::optional<Value>(value) : std::nullopt;
    case LDKeyKind::Strings: // held as it stands; readers take the texts
    case LDKeyKind::Array:
        return value.asArray() ? std::optional<Value>(value) : std::nullopt;
    case LDKeyKind::Dictionary:
        return value.asDictionary() ? std::optional<Value>(value) : std::nullopt;
    case LDKeyKind::Object:
        return value;
    }
    return std::nullopt;
}

bool isScheduleKey(const std::string& key)
{
    return key == "StartCalendarInterval" || key == "StartCalendarIntervalArray";
}

std::string expandTilde(const std::string& path)
{
    if (path == "~" || path.starts_with("~/"))
        return platform::homeDirectory() + path.substr(1);
    return path;
}

LDLaunchDomain domainOfPath(const std::string& path)
{
    constexpr std::array folders{LDLaunchDomain::globalLaunchAgent, LDLaunchDomain::globalLaunchDaemon,
                                 LDLaunchDomain::systemLaunchAgent, LDLaunchDomain::systemLaunchDaemon};
    for (const auto domain : folders)
        if (path.starts_with(LDDomainFolder(domain)))
            return domain;
    return path.starts_with(platform::homeDirectory()) ? LDLaunchDomain::userLaunchAgent : LDLaunchDomain::none;
}

} // namespace

LDLaunchJob LDLaunchJob::initWithoutObservers()
{
    LDLaunchJob job;
    job.internalDictionary_ = Dictionary{};
    job.mirroring_ = false;
    return job;
}

LDLaunchJob LDLaunchJob::jobFromDictionary(const Dictionary& dictionary, LDLaunchDomain domain)
{
    LDLaunchJob job = initWithoutObservers();
    job.domain_ = domain;
    for (const auto& [key, value] : dictionary) {
        if (!job.hasProperty(key))
            continue;
        (void)job.setValue(key, value);
        (*job.internalDictionary_)[key] = value;
    }
    job.startObservingOnAllProperties();
    return job;
}

std::optional<LDLaunchJob> LDLaunchJob::jobFromFile(const std::string& path)
{
    const auto expanded = expandTilde(path);
    const auto plist = platform::readPropertyListFile(expanded);
    if (!plist || !plist->asDictionary() || !plist->find("Label") ||
        !(plist->find("ProgramArguments") || plist->find("Program")))
        return std::nullopt;
    return jobFromDictionary(*plist->asDictionary(), domainOfPath(expanded));
}

bool LDLaunchJob::hasProperty(const std::string& key) const
{
    return LDLaunchJobKeyNamed(key) || isScheduleKey(key) || key == "PID" || key == "LastExitStatus";
}

bool LDLaunchJob::setValue(const std::string& key, const Value& value)
{
    if (isScheduleKey(key)) {
        if (!value.asArray())
            return false;
        Array schedules;
        for (const auto& element : *value.asArray())
            if (element.asDictionary())
                schedules.emplace_back(LDLaunchJobSchedule(*element.asDictionary()).dictionary());
        writeScheduleEntry(std::move(schedules));
        return true;
    }
    if (key == "PID" || key == "LastExitStatus") {
        if (!isNumber(value))
            return false;
        (key == "PID" ? pid_ : lastExitStatus_) = static_cast<std::int64_t>(numberOf(value));
        return true;
    }
    const LDLaunchJobKey* entry = LDLaunchJobKeyNamed(key);
    const auto stored = entry ? propertyValue(entry->kind, value) : std::nullopt;
    if (!stored)
        return false;
    if (stored->isNull())
        properties_.erase(key);
    else
        properties_[key] = *stored;
    if (mirroring_) {
        if (entry->kind == LDKeyKind::Bool)
            writeBoolValueToDict(value, key);
        else
            writeObjectValueToDict(*stored, key);
    }
    return true;
}

const Value& LDLaunchJob::property(const std::string& key) const
{
    const auto found = properties_.find(key);
    return found == properties_.end() ? kNoValue : found->second;
}

Dictionary& LDLaunchJob::ensureDictionary()
{
    if (!internalDictionary_)
        internalDictionary_ = Dictionary{};
    return *internalDictionary_;
}

void LDLaunchJob::writeBoolValueToDict(const Value& value, const std::string& key)
{
    if (isNumber(value))
        ensureDictionary()[key] = numberOf(value) != 0.0;
    else
        ensureDictionary().erase(key);
}

void LDLaunchJob::writeObjectValueToDict(const Value& value, const std::string& key)
{
    if (isEmptyValue(value))
        ensureDictionary().erase(key);
    else
        ensureDictionary()[key] = value;
}

void LDLaunchJob::writeScheduleEntry(Value entry)
{
    ensureDictionary()["StartCalendarInterval"] = std::move(entry);
    schedules_ = std::monostate{};
    scheduleArray_.clear();
}

void LDLaunchJob::setStartCalendarInterval(const LDLaunchJobSchedule& schedule)
{
    writeScheduleEntry(schedule.dictionary());
}

void LDLaunchJob::setStartCalendarInterval(const std::vector<LDLaunchJobSchedule>& schedules)
{
    Array entries;
    for (const auto& schedule : schedules)
        entries.emplace_back(schedule.dictionary());
    writeScheduleEntry(std::move(entries));
}

void LDLaunchJob::setStartCalendarIntervalArray(const std::vector<LDLaunchJobSchedule>& schedules)
{
    setStartCalendarInterval(schedules);
}

LDLaunchJobScheduleSet LDLaunchJob::StartCalendarInterval() const
{
    if (!std::holds_alternative<std::monostate>(schedules_) || !internalDictionary_)
        return schedules_;
    const auto found = internalDictionary_->find("StartCalendarInterval");
    if (found == internalDictionary_->end())
        return schedules_;
    if (const Dictionary* one = found->second.asDictionary())
        schedules_ = LDLaunchJobSchedule(*one);
    else if (const Array* several = found->second.asArray()) {
        std::vector<LDLaunchJobSchedule> schedules;
        for (const auto& element : *several)
            if (element.asDictionary())
                schedules.emplace_back(*element.asDictionary());
        schedules_ = std::move(schedules);
    }
    return schedules_;
}

std::vector<LDLaunchJobSchedule> LDLaunchJob::StartCalendarIntervalArray() const
{
    if (const auto schedules = StartCalendarInterval(); std::holds_alternative<std::vector<LDLaunchJobSchedule>>(schedules))
        scheduleArray_ = std::get<std::vector<LDLaunchJobSchedule>>(schedules);
    return scheduleArray_;
}

std::optional<Value> LDLaunchJob::serviceManagementValueForKey(const std::string& key) const
{
    const auto label = Label();
    if (!label || domain_ == LDLaunchDomain::none)
        return std::nullopt;
    const auto current = platform::SMJobCopyDictionary(LDServiceManagementDomain(domain_), *label);
    if (!current)
        return std::nullopt;
    const auto found = current->find(key);
    return found == current->end() ? std::nullopt : std::optional<Value>(found->second);
}

std::int64_t LDLaunchJob::liveValue(std::int64_t stored, const char* key) const
{
    if (stored != 0)
        return stored;
    const auto value = serviceManagementValueForKey(key);
    return value && value->asInteger() ? *value->asInteger() : -1;
}

std::int64_t LDLaunchJob::LastExitStatus() const
{
    return liveValue(lastExitStatus_, "LastExitStatus");
}

std::int64_t LDLaunchJob::PID() const
{
    return liveValue(pid_, "PID");
}

bool LDLaunchJob::isCurrentlyLoaded() const
{
    return serviceManagementValueForKey("Label").has_value();
}

std::optional<std::string> LDLaunchJob::executablePath() const
{
    const Array* arguments = property("ProgramArguments").asArray();
    if (!arguments || arguments->empty())
        return Program();
    const std::string* first = arguments->front().asText();
    return first ? std::optional(*first) : std::nullopt;
}

std::optional<std::string> LDLaunchJob::executableVersion() const
{
    const auto executable = executablePath();
    return executable ? LDExecutableBundleVersion(*executable) : std::nullopt;
}

std::optional<std::string> LDExecutableBundleVersion(const std::string& executablePath)
{
    const auto info = platform::infoDictionaryOfExecutable(executablePath);
    const auto version = info ? info->find("CFBundleVersion") : Dictionary::const_iterator{};
    if (!info || version == info->end() || !version->second.asText())
        return std::nullopt;
    return *version->second.asText();
}

std::string LDLaunchJob::description() const
{
    if (!internalDictionary_ || internalDictionary_->empty())
        return "No Job Set";
    const auto orDashes = [](std::int64_t value) { return value == -1 ? std::string("--") : std::to_string(value); };
    return "Is Loaded:" + std::string(isCurrentlyLoaded() ? "YES" : "NO") + "\tLastExit:" + orDashes(LastExitStatus()) +
           "\tPID:" + orDashes(PID()) + "\tLabel:" + Label().value_or("(null)");
}

std::set<std::string> LDLaunchJob::ignoredProperties()
{
    return {"StartCalendarInterval", "PID", "LastExitStatus", "isCurrentlyLoaded", "domain"};
}

Dictionary LDLaunchJob::encodeWithCoder() const
{
    Dictionary archive;
    if (internalDictionary_)
        archive["dictionary"] = *internalDictionary_;
    for (const char* key : {"Label", "Program", "ProgramArguments"})
        if (const Value& value = property(key); !value.isNull())
            archive[key] = value;
    return archive;
}

LDLaunchJob LDLaunchJob::initWithCoder(const Dictionary& archive)
{
    LDLaunchJob job;
    job.mirroring_ = false;
    for (const auto& [key, value] : archive) {
        if (key == "dictionary" && value.asDictionary())
            job.internalDictionary_ = *value.asDictionary();
        else if (key == "Label" || key == "Program" || key == "ProgramArguments")
            (void)job.setValue(key, value);
    }
    return job;
}
