#include "Controls/HyperlinkTextField.h"

#include "Controls/AccessibleFactory.h"
#include "Controls/PressableAccessible.h"
#include "Foundation/PresentationSlots.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>

namespace {

const QColor kLightGray{170, 170, 170};
const QColor kGray{128, 128, 128};

// The release table: the first kind set names the notification and the look.
struct ReleaseRule {
    bool HyperlinkTextField::*kind;
    const char* notificationName;
    bool pageLink; // look after the release: the clicked link colour, else light grey
};

constexpr ReleaseRule kReleaseRules[] = {
    {&HyperlinkTextField::isExitVC, "hyperLinkExitVC", false},
    {&HyperlinkTextField::isRemoveNowExitVC, "hyperLinkRemoveNowExitVC", false},
    {&HyperlinkTextField::isAutoMarkSelection, "hyperLinkAutoMarkSelection", false},
    {&HyperlinkTextField::isEULA, "hyperLinkEULA", true},
    {&HyperlinkTextField::isPrivacyPolicy, "hyperLinkPrivacyPolicy", true},
    {&HyperlinkTextField::isUnInstallInstructions, "hyperLinkUnInstallInstructions", true},
};

// A link to screen readers: named by its text, with a Press action that acts as a click.
class HyperlinkAccessible : public controls::PressableAccessible {
public:
    explicit HyperlinkAccessible(HyperlinkTextField& link) : PressableAccessible(&link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && own.isEmpty() ? link().text() : own;
    }

protected:
    void press() override { link().activate(); }

private:
    HyperlinkTextField& link() const { return *static_cast<HyperlinkTextField*>(widget()); }
};

} // namespace

HyperlinkTextField::HyperlinkTextField(QWidget* parent) : HyperlinkTextField(QString(), parent) {}

HyperlinkTextField::HyperlinkTextField(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      attributesBeforeClick{kLightGray, true},
      attributesAfterClick{kGray, true},
      attributesWithoutUnderLineWithLink{hyperlinkColor(), false},
      attributesBeforeClickWithLink{hyperlinkColor(), true},
      attributesAfterClickWithLink{hyperlinkPressedColor(), true}
{
    controls::installAccessibleInterface<HyperlinkTextField, HyperlinkAccessible>();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

QColor HyperlinkTextField::textColor() const
{
    return palette().color(foregroundRole());
}

void HyperlinkTextField::apply(const TextAttributes& attributes)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, attributes.foreground);
    setPalette(colours);
    QFont underlined = font();
    underlined.setUnderline(attributes.underline);
    setFont(underlined);
}

void HyperlinkTextField::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (isPageLink())
        apply(attributesBeforeClickWithLink);
}

void HyperlinkTextField::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (isPageLink())
        apply(attributesWithoutUnderLineWithLink);
}

void HyperlinkTextField::mousePressEvent(QMouseEvent*)
{
    if (isExitLink())
        apply(attributesAfterClick);
    else if (isPageLink())
        apply(attributesWithoutUnderLineWithLink);
}

void HyperlinkTextField::mouseReleaseEvent(QMouseEvent* event)
{
    release(rect().contains(event->position().toPoint()));
}

void HyperlinkTextField::activate()
{
    release(true);
}

void HyperlinkTextField::release(bool over)
{
    const QPointer<HyperlinkTextField> alive(this); // an observer may close the window that holds it
    const auto rule = std::ranges::find_if(kReleaseRules, [this](const ReleaseRule& each) { return this->*each.kind; });
    if (rule != std::end(kReleaseRules)) {
        apply(rule->pageLink ? attributesAfterClickWithLink : attributesBeforeClick);
        platform::NotificationCenter::defaultCenter().post(rule->notificationName);
    }
    if (alive && over)
        emit clicked();
}

void HyperlinkTextField::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            activate();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}

