#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace controls {

// How a layer of the controls looks: a rounded box with a background and a border
// drawn inside its bounds (an invalid colour draws nothing).
struct LayerStyle {
    QColor background;
    QColor borderColor;
    qreal borderWidth = 0;
    qreal cornerRadius = 0;
};

// The rounded outline of a layer's bounds; the radius is limited to half the shorter side.
QPainterPath roundedLayerPath(const QRectF& rect, qreal cornerRadius);

void paintLayerBackground(QPainter& painter, const QRectF& rect, const LayerStyle& style);
// The border lies above the layer's content, as a layer composites it.
void paintLayerBorder(QPainter& painter, const QRectF& rect, const LayerStyle& style);
void paintLayer(QPainter& painter, const QRectF& rect, const LayerStyle& style);

} // namespace controls
