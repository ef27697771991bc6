#include "Agent/AgentStoryboard.h"

#include "Agent/AlertNotifications.h"
#include "Agent/PayloadWindow.h"

#include <functional>
#include <iostream>
#include <map>

namespace AgentStoryboard {

std::unique_ptr<QWidget> instantiateControllerWithIdentifier(const std::string& identifier)
{
    using Scene = std::function<std::unique_ptr<QWidget>()>;
    static const std::map<std::string, Scene> scenes{
        {startupItemsWindowController, [] { return std::make_unique<PayloadWindow>(AlertNotification::newStartupItem); }},
        {downloadProtectionWindowController,
         [] { return std::make_unique<PayloadWindow>(AlertNotification::newDownloadedItem); }},
        {crashesWindowController, [] { return std::make_unique<PayloadWindow>(AlertNotification::newCrashReport); }},
    };
    const auto scene = scenes.find(identifier);
    if (scene == scenes.end()) {
        std::cerr << "The storyboard Main has no window " << identifier << '\n';
        return nullptr;
    }
    return scene->second();
}

} // namespace AgentStoryboard
