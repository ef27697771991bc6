#include "Helper/LDLaunchCtl/LDPrivilegedFileManager.h"

#include "Helper/LDLaunchCtl/LDAuthorizer.h"
#include "Helper/LDLaunchCtl/LDJobs.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"

#include <cstdio>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using platform::Error;

namespace {

const std::string kCopyPrompt = "Trying to copy a file to a privileged location";

// Asks for the right of the operation's label and runs `body` with it; false
// (nothing reported) when no right was granted.
bool withAuthorization(const std::string& label, const std::string& prompt,
                       const std::function<bool(platform::AuthorizationRef)>& body)
{
    platform::AuthorizationRef authRef = nullptr;
    if (LDAuthorizer::authorizeSystemDaemonWithLabel(label, prompt, &authRef) != platform::errAuthorizationSuccess)
        return false;
    const bool result = body(authRef);
    LDAuthorizer::authorizationFree(authRef);
    return result;
}

bool transfer(const char* label, const char* tool, std::vector<std::string> options, const std::string& source,
              const std::string& destination, const std::string& message, Error* error)
{
    if (!LDPrivilegedFileManager::testSource(source, destination, error))
        return false;
    return withAuthorization(label, message, [&](platform::AuthorizationRef authRef) {
        std::vector<std::string> arguments{tool};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), {source, destination});
        return LDRunOneShotJob(label, arguments, authRef, error);
    });
}

const std::string* textAttribute(const platform::Dictionary& attributes, const char* key)
{
    const auto found = attributes.find(key);
    return found == attributes.end() ? nullptr : found->second.asText();
}

} // namespace

bool LDPrivilegedFileManager::testSource(const std::string& source, const std::string& destination, Error* error)
{
    std::error_code ignored;
    const char* problem = nullptr;
    if (!fs::exists(source, ignored))
        problem = "there was no file found at specified location";
    else if (fs::is_directory(source, ignored))
        problem = "You specified a directory not a file";
    else if (!fs::exists(destination, ignored))
        problem = "there was no folder found at that location";
    else if (!fs::is_directory(destination, ignored))
        problem = "You specified a file not a directory";
    return !problem || LDLaunchCtl::errorWithMessage(problem, 1, error);
}

LDLaunchJob LDPrivilegedFileManager::FileManagerJob()
{
    return LDOneShotJob();
}

bool LDPrivilegedFileManager::copyItem(const std::string& path, const std::string& toPrivilegedLocation,
                                       const std::string& message, bool, Error* error)
{
    return transfer("com.vorqapps.launchctl.filecopy", "/bin/cp", {"-a"}, path, toPrivilegedLocation, message, error);
}

bool LDPrivilegedFileManager::copyItem(const std::string& path, const std::string& toPrivilegedLocation,
                                       bool overwrite, Error* error)
{
    return copyItem(path, toPrivilegedLocation, kCopyPrompt, overwrite, error);
}

bool LDPrivilegedFileManager::moveItem(const std::string& path, const std::string& toPrivilegedLocation,
                                       const std::string& message, bool, Error* error)
{
    return transfer("com.vorqapps.launchctl.filemove", "/bin/mv", {}, path, toPrivilegedLocation, message, error);
}

bool LDPrivilegedFileManager::moveItem(const std::string& path, const std::string& toPrivilegedLocation,
                                       bool overwrite, Error* error)
{
    return moveItem(path, toPrivilegedLocation, kCopyPrompt, overwrite, error);
}

bool LDPrivilegedFileManager::deleteItem(const std::string& atPrivilegedPath, Error* error)
{
    std::error_code ignored;
    if (!fs::exists(fs::symlink_status(atPrivilegedPath, ignored)))
        return false;
    const char* label = "com.vorqapps.launchctl.filedelete";
    return withAuthorization(label, "Trying to remove a file from a privileged location",
                             [&](platform::AuthorizationRef authRef) {
                                 return LDRunOneShotJob(label, {"/bin/rm", atPrivilegedPath}, authRef, error);
                             });
}

bool LDPrivilegedFileManager::setAttributes(const platform::Dictionary& attributes,
                                            const std::string& ofItemAtPrivilegedPath, Error* error)
{
    std::error_code ignored;
    if (!fs::exists(fs::symlink_status(ofItemAtPrivilegedPath, ignored)))
        return false;
    const auto permissions = attributes.find(posixPermissions);
    const std::string* owner = textAttribute(attributes, ownerAccountName);
    const std::string* group = textAttribute(attributes, groupOwnerAccountName);
    return withAuthorization(
        "com.vorqapps.launchctl.filechown", "Trying to modify attributes of a file in a privileged location",
        [&](platform::AuthorizationRef authRef) {
            bool result = false;
            if (permissions != attributes.end() && permissions->second.asInteger()) {
                char mode[32];
                std::snprintf(mode, sizeof mode, "%llo",
                              static_cast<unsigned long long>(*permissions->second.asInteger()));
                result = LDRunOneShotJob("com.vorqapps.launchctl.filechmod",
                                         {"/bin/chmod", mode, ofItemAtPrivilegedPath}, authRef, error);
            }
            if (owner || group) {
                const std::string ownership = (owner ? *owner : "") + (group ? ":" + *group : "");
                result = LDRunOneShotJob("com.vorqapps.launchctl.filechown",
                                         {"/usr/sbin/chown", ownership, ofItemAtPrivilegedPath}, authRef, error);
            }
            return result;
        });
}
