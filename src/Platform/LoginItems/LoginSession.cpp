#include "Platform/LoginItems/LoginSession.h"

#include "Platform/Launchd/JobProcess.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/LoginItems/SharedFileListItemURL.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace platform {

namespace {

using launchd::JobRegistry;

// The plists of a launch-agent folder, by name; hidden files are no jobs.
std::vector<fs::path> plistsIn(const fs::path& folder)
{
    std::vector<fs::path> plists;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(".") && name.ends_with(".plist"))
            plists.push_back(it->path());
    }
    std::ranges::sort(plists);
    return plists;
}

bool runTool(const std::string& tool, const std::vector<std::string>& arguments)
{
    auto process = ToolProcess::launch(tool, arguments, ToolProcess::Capture::Nothing);
    return process && process->waitForExit() == 0;
}

// Whether the job of the plist is to be loaded now: it runs at load and is not
// looked after already. One left loaded by an earlier session with nothing to run it
// is taken out first, as a new session's launchd holds no jobs of the last one.
bool needsLoading(const fs::path& plist, const JobRegistry& registry)
{
    const auto job = readPropertyListFile(plist.string());
    const Value* label = job ? job->find("Label") : nullptr;
    if (!job || !job->asDictionary() || !launchd::runsAtLoad(*job->asDictionary()) || !label || !label->asText())
        return false;
    const auto record = registry.read(*label->asText());
    if (!record || record->removed || record->supervisorHasEnded())
        return true;
    if (!record->isLoadedWithNothingRunning())
        return false; // running, or waiting out its throttle interval
    return SMJobRemove(LaunchdDomain::User, *label->asText(), nullptr, false, nullptr);
}

bool loadLaunchAgents()
{
    const JobRegistry registry = JobRegistry::forDomain(LaunchdDomain::User);
    bool loaded = true;
    for (const auto& folder : {fs::path(homeDirectory()) / "Library/LaunchAgents", fs::path(hostPath("/Library/LaunchAgents"))})
        for (const auto& plist : plistsIn(folder))
            if (needsLoading(plist, registry))
                loaded = runTool("/bin/launchctl", {"load", plist.string()}) && loaded;
    return loaded;
}

bool openLoginItems()
{
    const auto list = SharedFileList::sessionLoginItems();
    if (!list)
        return true;
    bool opened = true;
    for (const auto& item : list->snapshot())
        if (const auto url = urlOfSharedFileListItem(*list, item, "file:"))
            opened = runTool("/usr/bin/open", {url->path()}) && opened;
    return opened;
}

} // namespace

int runLoginSession()
{
    ::unsetenv("BG_LAUNCH_EVENT"); // the jobs are no login items
    const bool loaded = loadLaunchAgents();
    ::setenv("BG_LAUNCH_EVENT", "lgit", 1);
    const bool opened = openLoginItems();
    return loaded && opened ? 0 : 1;
}

} // namespace platform
