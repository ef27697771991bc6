#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <string>

// The application's storyboards: "Main" (the main window and the screens) and "Nags"
// (About), each a table of scenes made by identifier.
class Storyboard {
public:
    using Scene = std::function<QObject*()>;

    // storyboardWithName:bundle: with the main bundle; the process stops for a name
    // the application does not have.
    static const Storyboard& storyboardWithName(const std::string& name);

    // A new controller of the scene; the process stops for an unknown identifier.
    QObject* instantiateControllerWithIdentifier(const std::string& identifier) const;

private:
    explicit Storyboard(std::map<std::string, Scene> scenes) : scenes_(std::move(scenes)) {}
    std::map<std::string, Scene> scenes_;
};
