#include "Screens/Manage/SettingCheckbox.h"

#include "Foundation/Settings.h"
#include "Screens/Common/ScreenText.h"

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
    connect(this, &QCheckBox::clicked, this, [this] { storeState(); });
}

void SettingCheckbox::showFromStore()
{
    if (platform::UserDefaults* defaults = store_())
        if (const std::optional<bool> stored = defaults->boolean(key))
            setChecked(*stored);
}

void SettingCheckbox::storeState() const
{
    if (platform::UserDefaults* defaults = store_())
        defaults->setBool(key, isChecked());
}

platform::UserDefaults* standardStore()
{
    return &standardDefaults();
}

platform::UserDefaults* suiteStore()
{
    return appGroupDefaults();
}
