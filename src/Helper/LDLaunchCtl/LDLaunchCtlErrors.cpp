#include "Helper/LDLaunchCtl/LDLaunchCtlErrors.h"

#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/Authorization/Authorization.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Values/PropertyList.h"

#include <array>
#include <iostream>
#include <string_view>

namespace {

struct ErrorEntry {
    std::int64_t code;
    std::string_view message;
};

constexpr std::array errorTable{
    ErrorEntry{1, "The job label is not valid."},
    ErrorEntry{2, "The Submitted Job was missing some required keys"},
    ErrorEntry{3, "Job not loaded"},
    ErrorEntry{4, "The specified job already exists"},
    ErrorEntry{5, "The specified job is already loaded"},
    ErrorEntry{6, "Could not load job"},
    ErrorEntry{7, "Unable to install the privileged helper tool"},
    ErrorEntry{8, "Unable to remove the privileged helper tool"},
    ErrorEntry{9, "Cannot unload The helper tool, it is not currently loaded."},
    ErrorEntry{10, "Unable to remove some files associated with the privileged helper tool"},
    ErrorEntry{11, "Could not unload job"},
    ErrorEntry{12, "There were problems reloading the job"},
    ErrorEntry{13, "Could not find the specified launchd.plist to load the job"},
    ErrorEntry{14, "The suggested file to remove is a directory."},
    ErrorEntry{15, "There were problem writing to the file"},
    ErrorEntry{16, "More than one job matched that description"},
    ErrorEntry{17, "You are not authorized to to perform this action"},
    ErrorEntry{18, "Could not set the Job to run in the proper context"},
    ErrorEntry{19, "The path specified doesn\u2019t appear to be executable."},
    ErrorEntry{platform::errAuthorizationCanceled, "Authorizaton canceled by user."},
};

// NSLocalizedStringFromTable(message, "LDLaunchCtl", ""): the table's entry, else the message.
std::string localized(const std::string& message)
{
    const auto table = platform::Bundle::main().pathForResource("LDLaunchCtl", "strings");
    const auto strings = table ? platform::readPropertyListFile(*table) : std::nullopt;
    const platform::Value* entry = strings ? strings->find(message) : nullptr;
    return entry && entry->asText() && !entry->asText()->empty() ? *entry->asText() : message;
}

bool report(platform::Error made, platform::Error* error)
{
    if (error)
        *error = std::move(made);
    else
        LDSystemLog("Error: " + made.localizedDescription);
    return false;
}

} // namespace

std::string LDErrorMessage(std::int64_t code)
{
    for (const auto& entry : errorTable)
        if (entry.code == code)
            return std::string(entry.message);
    if (const auto message = platform::SecCopyErrorMessageString(static_cast<platform::OSStatus>(code)))
        return *message;
    return "An unknown problem occurred";
}

void LDSystemLog(const std::string& message)
{
    std::cerr << message << std::endl;
}

bool LDLaunchCtl::errorWithCode(std::int64_t code, platform::Error* error)
{
    return errorWithMessage(LDErrorMessage(code), code, error);
}

bool LDLaunchCtl::errorWithMessage(const std::string& message, std::int64_t code, platform::Error* error)
{
    if (code == 0)
        return true;
    return report({LDLaunchCtlErrorDomain, code, localized(message)}, error);
}

bool LDLaunchCtl::errorWithCFError(const platform::Error& launchdError, std::int64_t code, platform::Error* error)
{
    if (code == 0)
        return true;
    return report(launchdError, error);
}
