#include "Screens/Common/TabBox.h"

#include "Controls/FocusRing.h"
#include "Controls/PressableAccessible.h"

#include <QAccessible>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr const char* captionProperty = "tabCaption"; // the object name of the caption label
constexpr const char* selectedProperty = "tabSelected";

// A tab to screen readers: a page tab named by its caption, with a Press action.
class TabAccessible : public controls::PressableAccessible {
public:
    explicit TabAccessible(QPushButton& button) : PressableAccessible(&button, QAccessible::PageTab) {}

    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        if (kind != QAccessible::Name || !own.isEmpty())
            return own;
        const QString captionName = button().property(captionProperty).toString();
        const auto* caption = button().parentWidget()->findChild<const QLabel*>(captionName);
        return caption ? caption->text() : QString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = button().property(selectedProperty).toBool();
        return state;
    }

protected:
    void press() override { button().click(); }

private:
    QPushButton& button() const { return *static_cast<QPushButton*>(widget()); }
};

QAccessibleInterface* tabAccessible(const QString& className, QObject* object)
{
    auto* button = className == QLatin1String("QPushButton") ? qobject_cast<QPushButton*>(object) : nullptr;
    return button && button->property(captionProperty).isValid() ? new TabAccessible(*button) : nullptr;
}

QString firstLabelName(const QLayout& content)
{
    for (int index = 0; index < content.count(); ++index)
        if (const auto* label = qobject_cast<const QLabel*>(content.itemAt(index)->widget()))
            return label->objectName();
    return {};
}

} // namespace

TabBox makeTabBox(QWidget* parent, const QString& boxName, const QString& buttonName, QLayout* content)
{
    static const bool accessible = [] {
        QAccessible::installFactory(tabAccessible);
        return true;
    }();
    (void)accessible;
    auto* box = new QFrame(parent);
    box->setObjectName(boxName);
    box->setAutoFillBackground(true);
    auto* button = new QPushButton(box);
    button->setObjectName(buttonName);
    button->setProperty(captionProperty, firstLabelName(*content));
    button->setProperty(selectedProperty, false);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(controls::overlayButtonStyle()); // the ring lies round it
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); // the whole box
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addLayout(content, 0, 0);
    grid->addWidget(button, 0, 0);
    button->raise(); // above the content, which came into the box after it
    return {box, button};
}

void setTabSelected(QPushButton& tabButton, bool selected)
{
    if (tabButton.property(selectedProperty).toBool() == selected)
        return;
    tabButton.setProperty(selectedProperty, selected);
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(&tabButton, changed);
    QAccessible::updateAccessibility(&event);
}
