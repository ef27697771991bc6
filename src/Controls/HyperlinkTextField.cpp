#include "Controls/HyperlinkTextField.h"

#include "Foundation/PresentationSlots.h"
#include "Platform/Notifications/NotificationCenter.h"

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
    setCursor(Qt::PointingHandCursor);
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
    const bool over = rect().contains(event->position().toPoint());
    const QPointer<HyperlinkTextField> alive(this); // an observer may close the window that holds it
    const auto rule = std::ranges::find_if(kReleaseRules, [this](const ReleaseRule& each) { return this->*each.kind; });
    if (rule != std::end(kReleaseRules)) {
        apply(rule->pageLink ? attributesAfterClickWithLink : attributesBeforeClick);
        platform::NotificationCenter::defaultCenter().post(rule->notificationName);
    }
    if (alive && over)
        emit clicked();
}
