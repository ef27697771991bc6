#pragma once

#include <string>

// The lists of the startup-items screen.
enum class StartupManager { loginItems, launchAgents };

// What the startup-items screen shows for its model: the screen implements it.
// Every call comes on the main thread.
class StartupItemsView {
public:
    virtual ~StartupItemsView() = default;

    // The count label of a list's tab.
    virtual void showCount(StartupManager list, const std::string& text) = 0;
    virtual void reloadTable() = 0;
    // The busy indicator: shown with its rotation when a load starts; hidden, with
    // every animation of its container removed, when a load is handed over.
    virtual void showLoader() = 0;
    virtual void hideLoader() = 0;
    // Recounts the checked records and updates the Delete button.
    virtual void updateSelectedItemsCount() = 0;
};
