#pragma once

#include <QWidget>

#include <memory>
#include <string>

// The agent's storyboard "Main": its alert windows, made by identifier.
namespace AgentStoryboard {

inline constexpr const char* startupItemsWindowController = "StartupItemsWindowController";
inline constexpr const char* downloadProtectionWindowController = "DownloadProtectionWindowController";
inline constexpr const char* crashesWindowController = "CrashesWindowController";

// A new window of the scene; null (with one line on standard error) for an
// identifier the storyboard lacks.
std::unique_ptr<QWidget> instantiateControllerWithIdentifier(const std::string& identifier);

} // namespace AgentStoryboard
