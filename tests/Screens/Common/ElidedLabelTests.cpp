#include "Screens/Common/ElidedLabel.h"

#include "Widgets/WidgetTestSupport.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTextDocumentFragment>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

// The tool tip's own label, once the label has been hovered; null when none shows.
QLabel* hoverToolTip(ElidedLabel& label)
{
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&label, &hover);
    if (!QToolTip::isVisible())
        return nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel") && window->isVisible())
            return static_cast<QLabel*>(window);
    return nullptr;
}

// Outside texts (record names, paths) are drawn as typed, never as markup.
TEST(ElidedLabel, DrawsMarkupAsTypedText)
{
    ElidedLabel label;
    label.setText("<b>Bold</b> <font color=red>Helper</font>");
    label.resize(420, 24);
    EXPECT_FALSE(widgettest::paintsColor(label, Qt::red));
    widgettest::saveGrab(label, "ElidedLabel-markup-as-typed");
}

TEST(ElidedLabel, AShortenedTextShowsWholeAndAsTypedInItsToolTip)
{
    const QString name = "<font color=red>com.example.a-really-long-vendor-name</font>/Cache.db";
    ElidedLabel label(Qt::ElideMiddle);
    label.setText(name);
    label.resize(label.sizeHint().width() + 20, 24);
    EXPECT_EQ(hoverToolTip(label), nullptr) << "a text that fits needs no tool tip";

    label.resize(160, 24);
    QLabel* tip = hoverToolTip(label);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(tip->text()).toPlainText(), name);
    EXPECT_FALSE(widgettest::paintsColor(*tip, Qt::red));
    widgettest::saveGrab(label, "ElidedLabel-long-path");
    widgettest::saveGrab(*tip, "ElidedLabel-long-path-tool-tip");
}

} // namespace
