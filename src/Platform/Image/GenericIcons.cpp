#include "Platform/Image/GenericIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace platform {

namespace {

constexpr int iconSize = 128;

void drawApplication(QPainter& painter)
{
    painter.setBrush(QColor(45, 140, 230));
    painter.drawRoundedRect(QRectF(12, 12, 104, 104), 24, 24);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(40, 40, 48, 48));
}

void drawFolder(QPainter& painter)
{
    painter.setBrush(QColor(110, 180, 235));
    painter.drawRoundedRect(QRectF(12, 24, 48, 24), 6, 6);
    painter.drawRoundedRect(QRectF(12, 36, 104, 72), 8, 8);
}

void drawDocument(QPainter& painter)
{
    QPainterPath page;
    page.moveTo(28, 10);
    page.lineTo(80, 10);
    page.lineTo(100, 30);
    page.lineTo(100, 118);
    page.lineTo(28, 118);
    page.closeSubpath();
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(150, 150, 150), 2));
    painter.drawPath(page);
    painter.drawLine(QPointF(80, 10), QPointF(80, 30));
    painter.drawLine(QPointF(80, 30), QPointF(100, 30));
}

QImage paintGenericIcon(GenericIcon kind)
{
    QImage icon(iconSize, iconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    switch (kind) {
    case GenericIcon::Application:
        drawApplication(painter);
        break;
    case GenericIcon::Folder:
        drawFolder(painter);
        break;
    case GenericIcon::Document:
        drawDocument(painter);
        break;
    }
    return icon;
}

} // namespace

QImage drawGenericIcon(GenericIcon kind)
{
    // One drawing a kind for the process: every copy shares its pixels, so a list
    // of thousands of items holds one icon, not one each.
    static const std::array<QImage, 3> icons = {paintGenericIcon(GenericIcon::Application),
                                                paintGenericIcon(GenericIcon::Folder),
                                                paintGenericIcon(GenericIcon::Document)};
    return icons[static_cast<std::size_t>(kind)];
}

} // namespace platform
