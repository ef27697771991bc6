#include "Controls/LayerPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace controls {

QPainterPath roundedLayerPath(const QRectF& rect, qreal cornerRadius)
{
    const qreal radius = std::clamp(cornerRadius, qreal(0), std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void paintLayerBackground(QPainter& painter, const QRectF& rect, const LayerStyle& style)
{
    if (!style.background.isValid() || rect.isEmpty())
        return;
    painter.fillPath(roundedLayerPath(rect, style.cornerRadius), style.background);
}

void paintLayerBorder(QPainter& painter, const QRectF& rect, const LayerStyle& style)
{
    if (!style.borderColor.isValid() || style.borderWidth <= 0 || rect.isEmpty())
        return;
    const qreal width = std::min(style.borderWidth, std::min(rect.width(), rect.height()) / 2);
    QPainterPath ring = roundedLayerPath(rect, style.cornerRadius);
    const QRectF inner = rect.adjusted(width, width, -width, -width);
    if (!inner.isEmpty())
        ring = ring.subtracted(roundedLayerPath(inner, style.cornerRadius - width));
    painter.fillPath(ring, style.borderColor);
}

void paintLayer(QPainter& painter, const QRectF& rect, const LayerStyle& style)
{
    paintLayerBackground(painter, rect, style);
    paintLayerBorder(painter, rect, style);
}

} // namespace controls
