#pragma once

#include "Helper/LDLaunchCtl/LDLaunchDomain.h"
#include "Helper/LDLaunchCtl/LDLaunchJob.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Image/Image.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/Values/Value.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

// One launch agent or daemon as the startup-items screen lists it: a job read
// from a plist of a launchd folder, and what the screen shows for it.
class LaunchAgent {
public:
    std::optional<LDLaunchJob> ldLaunchJob;
    std::optional<platform::FileURL> appUrl; // the application or program the job starts
    std::optional<platform::Bundle> bundle;
    std::optional<std::string> company = "Unknown";
    bool isEnable = true; // launchd had the job loaded when the record was built
    std::optional<std::string> name;
    std::optional<platform::Image> icon;
    std::optional<LDLaunchDomain> ldLaunchDomain;
    bool isSelected = false;
    std::optional<std::string> plistName;
    std::optional<std::string> plistPath;
    bool isInvalid = false; // the program is unknown or missing
    std::optional<std::string> removalFailure; // why the last deletion of the item failed

    LaunchAgent() = default;
    LaunchAgent(const LDLaunchJob& ldLaunchJob, LDLaunchDomain ldLaunchDomain);
    // The same with the job's plist already found: (file name, full path).
    LaunchAgent(const LDLaunchJob& ldLaunchJob, LDLaunchDomain ldLaunchDomain, std::pair<std::string, std::string> plist);

    // Rebuilt from the stored form of record(): the job is read again from its
    // domain's folder. Where no plist carries it any more, the item keeps the
    // record's label and plist path, so that it still names its record. A form
    // without its three texts gives the starting values.
    explicit LaunchAgent(const platform::Dictionary& record);

    // The job's label, else the label of the record the item was rebuilt from.
    std::optional<std::string> label() const;

    // The file of the domain's folder whose "Label" is the job's: (name, path),
    // both empty when none is (or the job has no label).
    static std::pair<std::string, std::string> findPlist(const std::optional<LDLaunchJob>& label,
                                                         std::optional<LDLaunchDomain> ldLaunchDomain);

    // The stored form: "label", "plistPath" and "ldLaunchDomain" (decimal text),
    // each when present.
    platform::Dictionary record() const;

    // The same item: the same plist name (two absent names are equal).
    friend bool operator==(const LaunchAgent& left, const LaunchAgent& right)
    {
        return left.plistName == right.plistName;
    }

private:
    void resolveApplication(); // the application behind the job's program
    void finish();             // icon and isInvalid

    std::optional<std::string> recordLabel_; // rebuilt from a record without a job
};

template <>
struct std::hash<LaunchAgent> {
    std::size_t operator()(const LaunchAgent& agent) const
    {
        return agent.plistName ? std::hash<std::string>()(*agent.plistName) * 2 + 1 : 0;
    }
};
