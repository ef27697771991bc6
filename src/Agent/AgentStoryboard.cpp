#include "Agent/AgentStoryboard.h"

#include "Agent/CrashAlert.h"
#include "Agent/DownloadAlert.h"
#include "Agent/StartupItemAlert.h"

#include <functional>
#include <iostream>
#include <map>

namespace AgentStoryboard {

std::unique_ptr<QWidget> instantiateControllerWithIdentifier(const std::string& identifier)
{
    using Scene = std::function<std::unique_ptr<QWidget>()>;
    static const std::map<std::string, Scene> scenes{
        {startupItemsWindowController, [] { return std::make_unique<ViewControllerRT>(); }},
        {downloadProtectionWindowController, [] { return std::make_unique<DownloadProtectionViewController>(); }},
        {crashesWindowController, [] { return std::make_unique<CrashesViewController>(); }},
    };
    const auto scene = scenes.find(identifier);
    if (scene == scenes.end()) {
        std::cerr << "The storyboard Main has no window " << identifier << '\n';
        return nullptr;
    }
    return scene->second();
}

} // namespace AgentStoryboard
