#pragma once

#include "Platform/Bundle/Bundle.h"
#include "Platform/Image/Image.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/Values/Value.h"

#include <cstdint>
#include <optional>
#include <string>

// One login item as the startup-items screen lists it: a job of the user's
// launchd domain, or an entry of the session login items.
class LoginItem {
public:
    std::optional<std::string> label;
    std::optional<std::int64_t> lastExitStatus;
    std::optional<std::string> limitLoadToSessionType;
    std::optional<std::int64_t> enableTransactions;
    std::optional<platform::Array> programArguments;
    std::optional<std::int64_t> onDemand;
    std::optional<std::string> program;
    std::optional<std::string> helperBundleIdentifier; // switches a service-management item on or off
    // A user's job switched off: its whole plist as it was, written back when it is switched on.
    std::optional<platform::Dictionary> jobDictionary;
    std::optional<std::int64_t> pid;
    std::optional<platform::FileURL> appUrl;
    std::optional<platform::Bundle> bundle;
    std::optional<std::string> company = "Unknown";
    bool isEnable = true;
    bool isSelected = false;
    bool isInvalid = false; // no application is known, or it is missing
    bool isSMLoginItem = false;
    std::optional<std::string> name;
    std::optional<platform::Image> icon;

    LoginItem() = default;

    // A job of the user's launchd domain; the application is found from `program`.
    LoginItem(bool isEnable, std::optional<std::string> label, std::optional<std::int64_t> lastExitStatus,
              std::optional<std::string> limitLoadToSessionType, std::optional<std::int64_t> enableTransactions,
              std::optional<platform::Array> programArguments, std::optional<std::int64_t> onDemand,
              std::optional<std::string> program, std::optional<std::int64_t> pid, bool isSMLoginItem);

    // An entry of the session login items.
    LoginItem(bool isEnable, std::optional<platform::FileURL> url, bool isSMLoginItem);

    // Rebuilt from the stored form of record(); entries missing or of another
    // kind leave their fields at the starting values.
    explicit LoginItem(const platform::Dictionary& record);

    // The stored form: "isEnable" ("1"/"0"), the launchd values (integers as
    // decimal texts), "appUrlPath", "pid" (number), "isSMLoginItem" (Boolean) and
    // "jobDictionary" (the dictionary, when the item has one).
    platform::Dictionary record() const;

    // The same item: by application URL when both have one, else by helper
    // bundle identifier when both have one, else by name (two absent names are
    // equal). There is no hash: no hash agrees with this equality, so
    // comparisons of lists go through it (see StartupItemLists.h).
    friend bool operator==(const LoginItem& left, const LoginItem& right);

private:
    void setApplication(const platform::FileURL& url); // appUrl, bundle, company, name of the bundle
    void resolveProgram();                             // the application behind `program`
    void finish();                                     // icon, isInvalid, name fallback
};
