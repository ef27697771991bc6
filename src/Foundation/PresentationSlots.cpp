#include "Foundation/PresentationSlots.h"

#include "Foundation/ProcessWideValue.h"

std::optional<platform::Dictionary>& languageTable()
{
    static std::optional<platform::Dictionary> table;
    return table;
}

QPointer<QWidget>& dimmingOverlay()
{
    static QPointer<QWidget> overlay;
    return overlay;
}

QPointer<CustomAnimator>& sharedAnimator()
{
    static QPointer<CustomAnimator> animator;
    return animator;
}

ParagraphStyle& paragraphStyle()
{
    static ParagraphStyle style;
    return style;
}

const QColor& hyperlinkColor()
{
    return processWideValue([] { return QColor(45, 140, 230); });
}

const QColor& hyperlinkPressedColor()
{
    return processWideValue([] { return QColor(54, 128, 255); });
}

const QColor& sidebarLineColor()
{
    return processWideValue([] { return QColor(226, 123, 34); });
}
