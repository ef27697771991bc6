#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The most a release copied into place may hold.
struct ReleaseLimits {
    std::uint64_t bytes;
    std::uint64_t members; // files and folders
};

// Puts the release bundle at `release` in place of the installed application at
// `installed`, on folder descriptors, so that the same walk serves the updater with
// the user's rights and its raised install tool: both paths are reached from "/"
// one component at a time without following links; the release is copied entry by
// entry into a stage folder of the caller's beside the installed bundle (a link, an
// entry that is no folder or regular file, one that does not belong to `owner`, or
// one that changes while it is copied fails the copy), within `limits`; the copy
// must be a sound bundle of the installed application's identifier; one exchange of
// names then puts it in place, and the stage with the old bundle in it is removed.
// Why it was not installed, or none when it was; the installed bundle is as it was
// unless it was installed.
std::optional<std::string> replaceBundleWithRelease(const std::string& installed, const std::string& release,
                                                    uid_t owner, const ReleaseLimits& limits);

} // namespace platform
