#include "Screens/Manage/SettingCheckbox.h"

#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Screens/Manage/UnsavedSettingSheet.h"

SettingCheckbox::SettingCheckbox(const char* key, Store store, const std::string& titleKey, const QColor& tint,
                                 QWidget* parent)
    : QCheckBox(parent), key(key), store_(store)
{
    setObjectName(key);
    setText(screenText(titleKey));
    QFont font = this->font();
    font.setPointSize(13);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, tint);
    palette.setColor(QPalette::ButtonText, tint);
    setPalette(palette);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QCheckBox::clicked, this, [this] {
        if (storeState() && onStored)
            onStored();
    });
}

void SettingCheckbox::showFromStore()
{
    if (platform::UserDefaults* defaults = store_())
        if (const std::optional<bool> stored = defaults->boolean(key))
            setChecked(*stored);
}

bool SettingCheckbox::storeState()
{
    platform::UserDefaults* defaults = store_();
    if (defaults && defaults->setBool(key, isChecked()))
        return true;
    const std::optional<bool> stored = defaults ? defaults->boolean(key) : std::nullopt;
    setChecked(stored.value_or(!isChecked()));
    showUnsavedSettingSheet(*this);
    return false;
}

platform::UserDefaults* standardStore()
{
    return &standardDefaults();
}

platform::UserDefaults* suiteStore()
{
    return appGroupDefaults();
}
