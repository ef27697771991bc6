// Draws the bundle's images as PNG files into the folder given as the only argument.
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cstdio>
#include <functional>
#include <string>

namespace {

struct Image {
    const char* fileName;
    int size;
    std::function<void(QPainter&, double)> draw;
};

void drawShieldOutline(QPainter& painter, double s, const QColor& fill, const QColor& rim)
{
    QPainterPath shield;
    shield.moveTo(0.5 * s, 0.06 * s);
    shield.lineTo(0.88 * s, 0.2 * s);
    shield.cubicTo(0.88 * s, 0.6 * s, 0.72 * s, 0.82 * s, 0.5 * s, 0.95 * s);
    shield.cubicTo(0.28 * s, 0.82 * s, 0.12 * s, 0.6 * s, 0.12 * s, 0.2 * s);
    shield.closeSubpath();
    painter.fillPath(shield, fill);
    painter.setPen(QPen(rim, 0.05 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shield);
    painter.setPen(QPen(Qt::white, 0.08 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// The product's shield: all is well.
void drawShield(QPainter& painter, double s)
{
    drawShieldOutline(painter, s, QColor(34, 98, 170), QColor(226, 123, 34));
    painter.drawPolyline(QPolygonF({{0.33 * s, 0.5 * s}, {0.46 * s, 0.63 * s}, {0.68 * s, 0.38 * s}}));
}

// The shield that asks for attention: protection off, or a scan that could not finish.
void drawAttentionShield(QPainter& painter, double s)
{
    drawShieldOutline(painter, s, QColor(226, 123, 34), QColor(250, 196, 120));
    painter.drawLine(QPointF(0.5 * s, 0.3 * s), QPointF(0.5 * s, 0.56 * s));
    painter.drawPoint(QPointF(0.5 * s, 0.71 * s));
}

void drawBadge(QPainter& painter, double s, const QColor& fill)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(0.04 * s, 0.04 * s, 0.92 * s, 0.92 * s));
    painter.setPen(QPen(Qt::white, 0.12 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void drawTick(QPainter& painter, double s)
{
    drawBadge(painter, s, QColor(46, 164, 79));
    painter.drawPolyline(QPolygonF({{0.28 * s, 0.52 * s}, {0.44 * s, 0.68 * s}, {0.72 * s, 0.36 * s}}));
}

void drawExclamation(QPainter& painter, double s)
{
    drawBadge(painter, s, QColor(226, 123, 34));
    painter.drawLine(QPointF(0.5 * s, 0.25 * s), QPointF(0.5 * s, 0.56 * s));
    painter.drawPoint(QPointF(0.5 * s, 0.75 * s));
}

// A landscape picture of a system release: sky, ridge and ground in its colours.
struct Landscape {
    QColor skyTop;
    QColor skyBottom;
    QColor ground;
};

void drawLandscape(QPainter& painter, double s, const Landscape& colours)
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0, 0, s, s), 0.12 * s, 0.12 * s);
    painter.setClipPath(frame);
    QLinearGradient sky(0, 0, 0, s);
    sky.setColorAt(0, colours.skyTop);
    sky.setColorAt(1, colours.skyBottom);
    painter.fillRect(QRectF(0, 0, s, s), sky);
    QPainterPath ridge;
    ridge.moveTo(0, 0.75 * s);
    ridge.cubicTo(0.3 * s, 0.55 * s, 0.6 * s, 0.9 * s, s, 0.65 * s);
    ridge.lineTo(s, s);
    ridge.lineTo(0, s);
    ridge.closeSubpath();
    painter.fillPath(ridge, colours.ground);
}

std::function<void(QPainter&, double)> landscape(Landscape colours)
{
    return [colours](QPainter& painter, double s) { drawLandscape(painter, s, colours); };
}

// The picture of a release outside the release table: a display on its stand.
void drawDisplay(QPainter& painter, double s)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 72, 88));
    painter.drawRoundedRect(QRectF(0.08 * s, 0.14 * s, 0.84 * s, 0.56 * s), 0.05 * s, 0.05 * s);
    QLinearGradient screen(0, 0.18 * s, 0, 0.66 * s);
    screen.setColorAt(0, QColor(34, 98, 170));
    screen.setColorAt(1, QColor(22, 32, 43));
    painter.setBrush(screen);
    painter.drawRect(QRectF(0.12 * s, 0.18 * s, 0.76 * s, 0.48 * s));
    painter.setBrush(QColor(150, 160, 172));
    painter.drawRect(QRectF(0.44 * s, 0.7 * s, 0.12 * s, 0.12 * s));
    painter.drawRoundedRect(QRectF(0.3 * s, 0.82 * s, 0.4 * s, 0.05 * s), 0.02 * s, 0.02 * s);
}

// The artwork of the recommended products: a rounded tile in two colours with a white glyph.
void drawProductTile(QPainter& painter, double s, const QColor& top, const QColor& bottom,
                     const std::function<void(QPainter&, double)>& glyph)
{
    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.04 * s, 0.04 * s, 0.92 * s, 0.92 * s), 0.2 * s, 0.2 * s);
    painter.setPen(QPen(Qt::white, 0.05 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    glyph(painter, s);
}

void drawBroom(QPainter& painter, double s)
{
    painter.drawLine(QPointF(0.68 * s, 0.22 * s), QPointF(0.48 * s, 0.56 * s));
    QPainterPath bristles;
    bristles.moveTo(0.36 * s, 0.52 * s);
    bristles.lineTo(0.6 * s, 0.62 * s);
    bristles.lineTo(0.5 * s, 0.8 * s);
    bristles.lineTo(0.24 * s, 0.74 * s);
    bristles.closeSubpath();
    painter.fillPath(bristles, Qt::white);
}

void drawTwinPictures(QPainter& painter, double s)
{
    painter.drawRoundedRect(QRectF(0.2 * s, 0.24 * s, 0.44 * s, 0.36 * s), 0.04 * s, 0.04 * s);
    painter.drawRoundedRect(QRectF(0.36 * s, 0.4 * s, 0.44 * s, 0.36 * s), 0.04 * s, 0.04 * s);
    painter.drawPolyline(QPolygonF({{0.42 * s, 0.7 * s}, {0.54 * s, 0.56 * s}, {0.64 * s, 0.66 * s},
                                    {0.7 * s, 0.6 * s}, {0.76 * s, 0.7 * s}}));
}

void drawTwinDocuments(QPainter& painter, double s)
{
    painter.drawRect(QRectF(0.22 * s, 0.2 * s, 0.36 * s, 0.46 * s));
    painter.drawRect(QRectF(0.42 * s, 0.34 * s, 0.36 * s, 0.46 * s));
    for (double y : {0.48, 0.58, 0.68})
        painter.drawLine(QPointF(0.5 * s, y * s), QPointF(0.7 * s, y * s));
}

void drawTag(QPainter& painter, double s)
{
    painter.drawPolygon(QPolygonF({{0.22 * s, 0.22 * s}, {0.5 * s, 0.22 * s}, {0.8 * s, 0.52 * s},
                                   {0.52 * s, 0.8 * s}, {0.22 * s, 0.5 * s}}));
    painter.drawEllipse(QPointF(0.36 * s, 0.36 * s), 0.05 * s, 0.05 * s);
}

void drawShredder(QPainter& painter, double s)
{
    painter.drawRect(QRectF(0.3 * s, 0.18 * s, 0.4 * s, 0.3 * s));
    painter.drawLine(QPointF(0.2 * s, 0.5 * s), QPointF(0.8 * s, 0.5 * s));
    for (double x : {0.34, 0.44, 0.54, 0.64})
        painter.drawLine(QPointF(x * s, 0.58 * s), QPointF(x * s, 0.8 * s));
}

template <void (*glyph)(QPainter&, double)>
std::function<void(QPainter&, double)> productTile(QColor top, QColor bottom)
{
    return [top, bottom](QPainter& painter, double s) { drawProductTile(painter, s, top, bottom, glyph); };
}

const Image images[] = {
    {"AppIcon.png", 256, drawShield},
    {"AttentionShield.png", 256, drawAttentionShield},
    {"singletick.png", 64, drawTick},
    {"exclamationM.png", 64, drawExclamation},
    {"macos el-capitan.png", 128, landscape({QColor(70, 110, 170), QColor(200, 210, 225), QColor(90, 100, 90)})},
    {"macos-Sierra.png", 128, landscape({QColor(60, 90, 150), QColor(170, 190, 220), QColor(70, 80, 100)})},
    {"macos high-sierra.png", 128, landscape({QColor(40, 70, 120), QColor(150, 170, 200), QColor(50, 90, 70)})},
    {"macosmojave.png", 128, landscape({QColor(40, 52, 92), QColor(214, 140, 84), QColor(120, 70, 50)})},
    {"macOs Catalina.png", 128, landscape({QColor(30, 60, 110), QColor(120, 170, 210), QColor(40, 60, 80)})},
    {"systemdefault.png", 128, drawDisplay},
    {"vb128.png", 128, productTile<drawBroom>(QColor(255, 159, 67), QColor(230, 92, 40))},
    {"tps128.png", 128, productTile<drawTwinPictures>(QColor(94, 173, 255), QColor(40, 110, 220))},
    {"tds128.png", 128, productTile<drawTwinDocuments>(QColor(90, 210, 160), QColor(30, 150, 110))},
    {"tf128.png", 128, productTile<drawTag>(QColor(190, 130, 255), QColor(120, 70, 210))},
    {"pm128.png", 128, productTile<drawShredder>(QColor(120, 130, 150), QColor(60, 70, 90))},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (const auto& image : images) {
        QImage canvas(image.size, image.size, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        image.draw(painter, image.size);
        painter.end();
        const std::string path = std::string(argv[1]) + "/" + image.fileName;
        if (!canvas.save(QString::fromStdString(path), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
