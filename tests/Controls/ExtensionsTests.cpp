#include "Controls/AgentNotificationNames.h"
#include "Controls/BundleVersion.h"
#include "Controls/ButtonStyling.h"
#include "Controls/LinkText.h"
#include "Controls/PropertyListDictionary.h"
#include "Controls/ViewPinning.h"
#include "Controls/WindowPlacement.h"

#include "WidgetTestSupport.h"
#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class ExtensionsTest : public testsupport::PlatformRootTest {
protected:
    std::string writePlist(const std::string& name, const platform::Value& value)
    {
        const auto path = testsupport::homeFolder() / name;
        EXPECT_TRUE(platform::writePropertyListFile(path.string(), value));
        return path.string();
    }
};

} // namespace

TEST(ViewPinning, KeepsTheViewCoveringItsContainerBelowTheTopOffset)
{
    QWidget container;
    container.resize(300, 200);
    container.show();
    QWidget full(&container);
    QWidget belowStrip(&container);
    pinToSuperviewEdges(full, container);
    pinToSuperviewEdges(belowStrip, container, 36);
    EXPECT_EQ(full.geometry(), QRect(0, 0, 300, 200));
    EXPECT_EQ(belowStrip.geometry(), QRect(0, 36, 300, 164));
    container.resize(400, 100);
    EXPECT_EQ(full.geometry(), QRect(0, 0, 400, 100));
    EXPECT_EQ(belowStrip.geometry(), QRect(0, 36, 400, 64));
    unpinFromSuperview(full);
    container.resize(500, 100);
    EXPECT_EQ(full.width(), 400) << "no longer pinned";
}

TEST_F(ExtensionsTest, BundleVersionsAreTextsOfTheInfoDictionary)
{
    const auto bundle = testsupport::homeFolder() / "Some.app";
    std::filesystem::create_directories(bundle / "Contents");
    ASSERT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                                platform::Dictionary{{"CFBundleShortVersionString", "2.4"},
                                                                     {"CFBundleVersion", 240}}));
    const platform::Bundle info(bundle.string());
    EXPECT_EQ(appVersion(info), "2.4");
    EXPECT_EQ(buildNumber(info), std::nullopt) << "a number is not a text";
    EXPECT_EQ(appVersion(platform::Bundle((testsupport::homeFolder() / "None.app").string())), std::nullopt);
}

TEST_F(ExtensionsTest, PropertyListDictionaryOnlyForADictionaryAtTheTop)
{
    const auto dictionary = writePlist("d.plist", platform::Dictionary{{"key", "value"}});
    ASSERT_TRUE(dictionaryWithContentsOfFile(dictionary));
    EXPECT_EQ(*dictionaryWithContentsOfFile(dictionary)->at("key").asText(), "value");
    EXPECT_TRUE(dictionaryWithContentsOfURL(QUrl::fromLocalFile(QString::fromStdString(dictionary))));
    EXPECT_FALSE(dictionaryWithContentsOfFile(writePlist("a.plist", platform::Array{"x"})));
    EXPECT_FALSE(dictionaryWithContentsOfFile(testsupport::plantFile(testsupport::homeFolder() / "bad.plist", "{").string()));
    EXPECT_FALSE(dictionaryWithContentsOfFile("/no/such/file.plist"));
    EXPECT_FALSE(dictionaryWithContentsOfURL(QUrl("http://127.0.0.1/d.plist")));
}

TEST(LinkText, MarksOnlyTheFirstOccurrence)
{
    QTextDocument text("Read the terms. Terms apply, terms.");
    EXPECT_TRUE(setAsLink(text, "terms", "http://example.invalid/terms"));
    QTextCursor first(&text);
    first.setPosition(10);
    EXPECT_EQ(first.charFormat().anchorHref(), "http://example.invalid/terms");
    QTextCursor last(&text);
    last.setPosition(33);
    EXPECT_FALSE(last.charFormat().isAnchor());
    EXPECT_FALSE(setAsLink(text, "missing", "http://example.invalid"));
    EXPECT_FALSE(setAsLink(text, "TERMS", "http://example.invalid")) << "case-sensitive";
}

TEST(ButtonStyling, StylesTheWholeTitle)
{
    QPushButton button;
    QFont font;
    font.setPointSize(17);
    setText(button, "Überprüfen ✓", QColor(10, 200, 30), font);
    EXPECT_EQ(button.text(), "Überprüfen ✓");
    EXPECT_EQ(button.font().pointSize(), 17);
    EXPECT_EQ(button.palette().color(QPalette::ButtonText), QColor(10, 200, 30));
    setBackground(button, QColor(200, 0, 0), 4);
    button.resize(80, 30);
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(button, {40, 15}), QColor(200, 0, 0)));
}

TEST(WindowPlacement, CentresFromTheSizesAlone)
{
    QWidget window;
    window.resize(200, 100);
    setFrameOriginToPositionWindowInCenterOfScreen(window);
    const QSize screen = window.screen()->geometry().size();
    EXPECT_EQ(window.pos(), QPoint((screen.width() - window.frameGeometry().width()) / 2,
                                   (screen.height() - window.frameGeometry().height()) / 2));
}

TEST(AgentNotificationNames, AreTheNamesBothProgramsUse)
{
    EXPECT_STREQ(observeAGSQNotificationName, "ObserveAGSQ");
    EXPECT_STREQ(observeAGSQCrashReportNotificationName, "ObserveAGSQCrashReport");
}
