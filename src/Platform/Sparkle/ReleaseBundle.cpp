#include "Platform/Sparkle/ReleaseBundle.h"

#include "Platform/Bundle/Bundle.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

// The entry is of that kind itself, not a link to one.
bool isReal(const fs::path& path, fs::file_type kind)
{
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type() == kind;
}

// A name that stays inside its folder.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::optional<std::string> executableProblem(const Bundle& release)
{
    const Value* name = release.objectForInfoDictionaryKey("CFBundleExecutable");
    if (!name || !name->asText() || !isPlainName(*name->asText()))
        return "its Info.plist names no executable";
    const fs::path executable = fs::path(release.bundlePath()) / "Contents/MacOS" / *name->asText();
    std::error_code ignored;
    const fs::file_status status = fs::symlink_status(executable, ignored);
    if (status.type() != fs::file_type::regular || (status.permissions() & fs::perms::owner_exec) == fs::perms::none)
        return "its executable is missing, a link or not executable";
    return std::nullopt;
}

} // namespace

std::optional<std::string> releaseBundleProblem(const std::string& bundlePath, const std::string& identifier)
{
    const fs::path bundle(bundlePath);
    if (!isReal(bundle, fs::file_type::directory))
        return "its bundle is a link or no folder";
    for (const char* folder : {"Contents", "Contents/MacOS"}) {
        if (!isReal(bundle / folder, fs::file_type::directory))
            return std::string("its ") + folder + " is a link or no folder";
    }
    if (!isReal(bundle / "Contents/Info.plist", fs::file_type::regular))
        return "its Info.plist is missing or a link";
    const Bundle release(bundlePath);
    if (identifier.empty() || release.bundleIdentifier() != identifier)
        return "it is not a copy of " + (identifier.empty() ? std::string("this application") : identifier);
    return executableProblem(release);
}

} // namespace platform
