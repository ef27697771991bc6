#pragma once

#include "Helper/LDLaunchCtl/LDLaunchDomain.h"
#include "Helper/LDLaunchCtl/LDLaunchJobKeys.h"
#include "Helper/LDLaunchCtl/LDLaunchJobSchedule.h"
#include "Platform/Values/Value.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

// "CFBundleVersion" of the information that goes with an executable (its bundle's, or a tool's own).
std::optional<std::string> LDExecutableBundleVersion(const std::string& executablePath);

// StartCalendarInterval: nothing, one schedule, or several.
using LDLaunchJobScheduleSet = std::variant<std::monostate, LDLaunchJobSchedule, std::vector<LDLaunchJobSchedule>>;

// One launchd job: a property per launchd key, kept in step with the job's
// dictionary (the plist written to a job folder or handed to launchd) while
// mirroring is on, plus values read live from launchd.
class LDLaunchJob {
public:
    LDLaunchJob() = default;             // empty job, mirroring on, no dictionary yet
    static LDLaunchJob initWithoutObservers(); // empty dictionary, mirroring off

    // A job filled from a launchd dictionary: keys that name a property set it
    // (a value of the wrong kind leaves the property unset) and are kept as they
    // are in the dictionary; other keys are dropped. Mirroring is on afterwards.
    static LDLaunchJob jobFromDictionary(const platform::Dictionary& dictionary, LDLaunchDomain domain);
    // A job read from a plist file with a "Label" and a program ("ProgramArguments"
    // or "Program"); its domain follows from the folder. "~" is expanded.
    static std::optional<LDLaunchJob> jobFromFile(const std::string& path);

#define LD_DECLARE_ACCESSORS(name, kind)                                                                     \
    LDKeyTraits<LDKeyKind::kind>::Type name() const { return LDKeyTraits<LDKeyKind::kind>::from(property(#name)); } \
    void set##name(const LDKeyTraits<LDKeyKind::kind>::Type& value) { setValue(#name, LDKeyTraits<LDKeyKind::kind>::to(value)); }
    LD_LAUNCH_JOB_KEYS(LD_DECLARE_ACCESSORS)
#undef LD_DECLARE_ACCESSORS

    // The one setter behind every property: stores the value when it is of the
    // key's kind (a null value clears the property) and, while mirroring, writes
    // it into the dictionary by the mirror rules. False for an unknown key or a
    // value of the wrong kind.
    bool setValue(const std::string& key, const platform::Value& value);
    bool hasProperty(const std::string& key) const;

    // Schedules: given as dictionaries in the job's dictionary.
    LDLaunchJobScheduleSet StartCalendarInterval() const;
    void setStartCalendarInterval(const LDLaunchJobSchedule& schedule);
    void setStartCalendarInterval(const std::vector<LDLaunchJobSchedule>& schedules);
    std::vector<LDLaunchJobSchedule> StartCalendarIntervalArray() const;
    void setStartCalendarIntervalArray(const std::vector<LDLaunchJobSchedule>& schedules);

    LDLaunchDomain domain() const { return domain_; }
    void setDomain(LDLaunchDomain domain) { domain_ = domain; }

    // Live values: the stored value when not 0, else launchd's; -1 when launchd
    // does not answer for the job.
    std::int64_t LastExitStatus() const;
    std::int64_t PID() const;
    void setLastExitStatus(std::int64_t status) { lastExitStatus_ = status; }
    void setPID(std::int64_t pid) { pid_ = pid; }
    bool isCurrentlyLoaded() const; // asked of launchd at every call
    void setIsCurrentlyLoaded(bool loaded) { isCurrentlyLoaded_ = loaded; }

    // The entry of launchd's current dictionary of the job; null when the job
    // has no Label, no domain, or launchd does not know it.
    std::optional<platform::Value> serviceManagementValueForKey(const std::string& key) const;

    // The job's dictionary; null when no key was ever written.
    std::optional<platform::Dictionary> dictionary() const { return internalDictionary_; }
    const std::optional<platform::Dictionary>& internalDictionary() const { return internalDictionary_; }

    // The program the job runs: its first program argument (a job switched back
    // on may carry a bundle identifier as Program), or Program when it has no
    // arguments; null when that is missing or is no text.
    std::optional<std::string> executablePath() const;
    // "CFBundleVersion" of the information that goes with executablePath().
    std::optional<std::string> executableVersion() const;

    std::string description() const;

    static std::set<std::string> ignoredProperties();
    void startObservingOnAllProperties() { mirroring_ = true; }
    void removeObservingOnAllProperties() { mirroring_ = false; }
    bool isMirroring() const { return mirroring_; }

    // The two mirror rules.
    void writeBoolValueToDict(const platform::Value& value, const std::string& key);
    void writeObjectValueToDict(const platform::Value& value, const std::string& key);

    // Archiving: "dictionary", "Label", "Program", "ProgramArguments". A restored
    // job keeps mirroring off.
    platform::Dictionary encodeWithCoder() const;
    static LDLaunchJob initWithCoder(const platform::Dictionary& archive);

private:
    const platform::Value& property(const std::string& key) const;
    platform::Dictionary& ensureDictionary();
    void writeScheduleEntry(platform::Value entry);
    std::int64_t liveValue(std::int64_t stored, const char* key) const;

    std::optional<platform::Dictionary> internalDictionary_;
    platform::Dictionary properties_;
    LDLaunchDomain domain_ = LDLaunchDomain::none;
    std::int64_t lastExitStatus_ = 0;
    std::int64_t pid_ = 0;
    bool isCurrentlyLoaded_ = false;
    bool mirroring_ = true;
    mutable LDLaunchJobScheduleSet schedules_;
    mutable std::vector<LDLaunchJobSchedule> scheduleArray_;
};
