#include "Foundation/PresentationSlots.h"

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

CustomAnimator*& sharedAnimator()
{
    static CustomAnimator* animator = nullptr;
    return animator;
}

ParagraphStyle& paragraphStyle()
{
    static ParagraphStyle style;
    return style;
}

const QColor& hyperlinkColor()
{
    static const QColor colour(45, 140, 230);
    return colour;
}

const QColor& hyperlinkPressedColor()
{
    static const QColor colour(54, 128, 255);
    return colour;
}

const QColor& sidebarLineColor()
{
    static const QColor colour(226, 123, 34);
    return colour;
}
