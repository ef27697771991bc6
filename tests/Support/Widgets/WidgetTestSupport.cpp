#include "WidgetTestSupport.h"

#include "Controls/Animations.h"
#include "Controls/FocusRing.h"
#include "Controls/KeyboardFocusRing.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QTextDocument>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace widgettest {

namespace {

// Controls need an application object; made once for the whole test process.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "widget_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            application_ = new QApplication(argc, argv);
        controls::showFocusRingOnKeyboardFocus(); // as the programs do
    }
    void TearDown() override { delete application_; }

private:
    QApplication* application_ = nullptr;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

void sendMouse(QWidget& widget, QEvent::Type type, QPoint point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), widget.mapToGlobal(QPointF(point)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

QColor pixelAt(QWidget& widget, QPoint point)
{
    return widget.grab().toImage().pixelColor(point);
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double channel) {
            return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
    };
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

double FocusRingSample::contrast() const
{
    return std::max(contrastRatio(band, ground), contrastRatio(edge, ground));
}

bool FocusRingSample::shown() const
{
    return nearColor(band, controls::focusRingColor, 24) && contrast() >= 3;
}

FocusRingSample focusRingAbove(const QWidget& control)
{
    QWidget& window = *control.window();
    const QImage look = window.grab().toImage();
    const QPoint top = control.mapTo(&window, QPoint(control.width() / 2, 0));
    const int gap = controls::FocusRingFrame::gap;
    const int outset = controls::FocusRingFrame::outset;
    return {look.pixelColor(top - QPoint(0, gap + 1)), look.pixelColor(top - QPoint(0, outset)),
            look.pixelColor(top - QPoint(0, outset + 2))};
}

FocusRingSample focusRingLeftOf(const QWidget& control)
{
    QWidget& window = *control.window();
    const QImage look = window.grab().toImage();
    const QPoint left = control.mapTo(&window, QPoint(0, control.height() / 2));
    const int outset = controls::FocusRingFrame::outset;
    const int ringLeft = std::max(left.x() - outset, 0);
    const int ground = left.x() - outset - 2 >= 0 ? left.x() - outset - 2 : left.x() + outset + 2;
    return {look.pixelColor(ringLeft + controls::FocusRingFrame::gap, left.y()), look.pixelColor(ringLeft, left.y()),
            look.pixelColor(ground, left.y())};
}

void expectEveryFocusableControlNamed(QWidget& screen)
{
    for (QWidget* control : screen.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&screen) || !(control->focusPolicy() & Qt::TabFocus))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(face, nullptr);
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
            << screen.objectName().toStdString() << ": " << control->metaObject()->className() << " "
            << control->objectName().toStdString();
    }
}

bool nearColor(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

bool paintsColor(QWidget& widget, const QColor& colour, int tolerance)
{
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (nearColor(image.pixelColor(x, y), colour, tolerance))
                return true;
    return false;
}

QString shownToolTip(const QString& toolTip)
{
    QTextDocument document;
    document.setHtml(toolTip);
    return document.toPlainText();
}

void saveGrab(QWidget& widget, const QString& name)
{
    const char* build = std::getenv("BG_BUILD_DIR");
    const QDir folder(QString(build ? build : ".") + "/grabs");
    folder.mkpath(".");
    EXPECT_TRUE(widget.grab().save(folder.filePath(name + ".png"))) << name.toStdString();
}

void saveSettledGrab(QWidget& widget, const QString& name)
{
    controls::finishAnimations(&widget);
    for (QObject* each : widget.findChildren<QObject*>())
        controls::finishAnimations(each);
    saveGrab(widget, name);
}

void press(QWidget& widget, QPoint point)
{
    sendMouse(widget, QEvent::MouseButtonPress, point, Qt::LeftButton);
}

void release(QWidget& widget, QPoint point)
{
    sendMouse(widget, QEvent::MouseButtonRelease, point, Qt::NoButton);
}

void click(QWidget& widget, QPoint point)
{
    press(widget, point);
    release(widget, point);
}

void moveTo(QWidget& widget, QPoint point)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(point), widget.mapToGlobal(QPointF(point)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

NotificationRecorder::NotificationRecorder(const std::string& name)
    : token_(platform::NotificationCenter::defaultCenter().addObserver(
          name, [this](const platform::Notification& n) { received_.push_back(n); }))
{
}

} // namespace widgettest
