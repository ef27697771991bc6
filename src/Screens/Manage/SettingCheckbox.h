#pragma once

#include <QCheckBox>

#include <functional>
#include <string>

namespace platform {
class UserDefaults;
}

// A settings checkbox bound to one Boolean key of one store: a click stores the
// new state at once; showFromStore() sets the state from the stored value, leaving
// it as it is when the key holds no Boolean or the store is not open. A click that
// could not be stored puts the box back to the stored value (or its state before
// the click) and says so in a sheet on the main window.
class SettingCheckbox : public QCheckBox {
public:
    using Store = platform::UserDefaults* (*)();

    SettingCheckbox(const char* key, Store store, const std::string& titleKey, const QColor& tint, QWidget* parent);

    const char* const key;

    void showFromStore();
    // Stores the state shown now (a click's handler); true when stored.
    bool storeState();

    // Runs after a click's state was stored.
    std::function<void()> onStored;

private:
    Store store_;
};

// The two stores a checkbox can be bound to.
platform::UserDefaults* standardStore();
platform::UserDefaults* suiteStore();
