#pragma once

#include "Platform/Files/FolderDescriptors.h"

#include "Platform/Values/Value.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

// launchctl as the elevation tool runs it for a user's process. Its arguments and
// environment are the caller's, so it takes only one plist of a system job folder
// ("<root>/Library/LaunchDaemons", "<root>/System/Library/LaunchDaemons" or
// "<root>/System/Library/LaunchAgents") that nobody but root can change, reached
// from "/" on folder descriptors without following links, and read from there; the
// platform root is the one that path names, never one from the environment. It loads
// no job that would run as root a program or a path anyone but root can change.
namespace raised {

// Run as root by the elevation tool, which names its caller in PKEXEC_UID.
bool isRaised();

// One checked system job plist, with its job folder held open.
struct Plist {
    std::string path;
    std::string root;
    std::string name;
    std::string label;
    platform::Dictionary dictionary;
    platform::Descriptor folder;
};

// The plist the operands name, or why it is refused.
std::variant<Plist, std::string> readPlist(const std::vector<std::string>& operands);

// Leaves what the caller handed on: its environment is cleared (the platform root
// becomes the plist's), its folder is "/" and its file mode mask 022, as launchd's
// own, for root's files and the jobs it starts.
void enterRootOf(const Plist& plist);

// Why the registry folder (made where missing) is not one only root can change, so
// that root may not write it; none when it is.
std::optional<std::string> refusedRegistry(const std::filesystem::path& folder);

// Why the job may not be loaded with root's rights: it would run as root (no
// UserName, or root's) a program that someone but root could change, or hand its
// process a path (an argument, its WorkingDirectory, RootDirectory or StandardInPath;
// of a bundle, also its Info.plist and the executable that names) that someone but
// root could change, or make where it names nothing; or reach one through a link
// that someone but root could change. A relative argument is a path from "/". None
// when it may.
std::optional<std::string> refusedRootJob(const platform::Dictionary& job);

// Removes the plist from the folder it was read from.
std::error_code deletePlist(const Plist& plist);

} // namespace raised
