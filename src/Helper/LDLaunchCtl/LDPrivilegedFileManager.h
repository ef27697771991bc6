#pragma once

#include "Helper/LDLaunchCtl/LDLaunchJob.h"
#include "Platform/Launchd/Error.h"
#include "Platform/Values/Value.h"

#include <string>

// File operations in places the user cannot write, made by one-shot launchd
// jobs after an authorisation (the file manager's privileged category). Each
// result is true when the tool ran and succeeded.
class LDPrivilegedFileManager {
public:
    // Attribute keys of setAttributes.
    static constexpr const char* posixPermissions = "NSFilePosixPermissions";
    static constexpr const char* ownerAccountName = "NSFileOwnerAccountName";
    static constexpr const char* groupOwnerAccountName = "NSFileGroupOwnerAccountName";

    // The source must be an existing file and the destination an existing folder.
    static bool testSource(const std::string& source, const std::string& destination, platform::Error* error);
    static LDLaunchJob FileManagerJob();

    static bool copyItem(const std::string& path, const std::string& toPrivilegedLocation, const std::string& message,
                         bool overwrite, platform::Error* error);
    static bool copyItem(const std::string& path, const std::string& toPrivilegedLocation, bool overwrite,
                         platform::Error* error);
    static bool moveItem(const std::string& path, const std::string& toPrivilegedLocation, const std::string& message,
                         bool overwrite, platform::Error* error);
    static bool moveItem(const std::string& path, const std::string& toPrivilegedLocation, bool overwrite,
                         platform::Error* error);
    // Removes a file (not a folder).
    static bool deleteItem(const std::string& atPrivilegedPath, platform::Error* error);
    // POSIX permissions (the mode, handed to chmod in octal), owner and group names.
    static bool setAttributes(const platform::Dictionary& attributes, const std::string& ofItemAtPrivilegedPath,
                              platform::Error* error);
};
