#include "Controls/HandCursorButton.h"
#include "Controls/HyperlinkTextField.h"

#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

using widgettest::NotificationRecorder;

namespace {

const QColor kLink{45, 140, 230};
const QColor kLinkClicked{54, 128, 255};

} // namespace

TEST(HyperlinkTextField, LicenceLinkLooksFollowHoverAndClickAndPostOncePerRelease)
{
    NotificationRecorder eula("hyperLinkEULA");
    HyperlinkTextField field("Licence agreement");
    field.isEULA = true;
    EXPECT_EQ(field.cursor().shape(), Qt::PointingHandCursor);
    widgettest::enter(field);
    EXPECT_EQ(field.textColor(), kLink);
    EXPECT_TRUE(field.isUnderlined());
    widgettest::leave(field);
    EXPECT_EQ(field.textColor(), kLink);
    EXPECT_FALSE(field.isUnderlined());
    widgettest::press(field);
    EXPECT_FALSE(field.isUnderlined());
    widgettest::release(field);
    EXPECT_EQ(field.textColor(), kLinkClicked);
    EXPECT_TRUE(field.isUnderlined());
    EXPECT_EQ(eula.received().size(), 1u);
    widgettest::saveGrab(field, "HyperlinkTextField-clicked");
}

// Every link signals a release over it, after its kind's notice; a release elsewhere is no click.
TEST(HyperlinkTextField, AReleaseOverTheLinkSignalsClicked)
{
    for (const bool isEULA : {false, true}) {
        HyperlinkTextField field("Rescan");
        field.isEULA = isEULA;
        field.resize(80, 20);
        NotificationRecorder notices("hyperLinkEULA");
        int clicks = 0;
        QObject::connect(&field, &HyperlinkTextField::clicked, [&] { ++clicks; });
        widgettest::click(field, {5, 5});
        widgettest::click(field, {120, 5});
        EXPECT_EQ(clicks, 1) << isEULA;
        EXPECT_EQ(notices.received().size(), isEULA ? 2u : 0u);
    }
}

TEST(HyperlinkTextField, FirstKindInReleaseOrderWins)
{
    const std::pair<bool HyperlinkTextField::*, const char*> kinds[] = {
        {&HyperlinkTextField::isExitVC, "hyperLinkExitVC"},
        {&HyperlinkTextField::isRemoveNowExitVC, "hyperLinkRemoveNowExitVC"},
        {&HyperlinkTextField::isAutoMarkSelection, "hyperLinkAutoMarkSelection"},
        {&HyperlinkTextField::isEULA, "hyperLinkEULA"},
        {&HyperlinkTextField::isPrivacyPolicy, "hyperLinkPrivacyPolicy"},
        {&HyperlinkTextField::isUnInstallInstructions, "hyperLinkUnInstallInstructions"},
    };
    for (std::size_t first = 0; first < std::size(kinds); ++first) {
        HyperlinkTextField field("link");
        for (std::size_t k = first; k < std::size(kinds); ++k)
            field.*kinds[k].first = true;
        std::vector<std::unique_ptr<NotificationRecorder>> recorders;
        for (const auto& kind : kinds)
            recorders.push_back(std::make_unique<NotificationRecorder>(kind.second));
        widgettest::release(field);
        for (std::size_t k = 0; k < std::size(kinds); ++k)
            EXPECT_EQ(recorders[k]->received().size(), k == first ? 1u : 0u) << kinds[k].second;
    }
}

TEST(HyperlinkTextField, ExitLinkTurnsGreyOnPressAndLightGreyOnRelease)
{
    HyperlinkTextField field("Cancel");
    field.isExitVC = true;
    widgettest::enter(field);
    const QColor before = field.textColor();
    EXPECT_NE(before, kLink) << "no hover look";
    widgettest::press(field);
    EXPECT_EQ(field.textColor(), QColor(128, 128, 128));
    widgettest::release(field);
    EXPECT_EQ(field.textColor(), QColor(170, 170, 170));
    EXPECT_TRUE(field.isUnderlined());
}

TEST(HyperlinkTextField, FieldOfNoKindNeverChangesOrPosts)
{
    NotificationRecorder exit("hyperLinkExitVC");
    HyperlinkTextField field("plain");
    const QColor before = field.textColor();
    widgettest::enter(field);
    widgettest::click(field);
    EXPECT_EQ(field.textColor(), before);
    EXPECT_FALSE(field.isUnderlined());
    EXPECT_TRUE(exit.received().empty());
}

TEST(HandCursorButton, ShowsThePointingHandWhileHovered)
{
    HandCursorButton button("Open");
    widgettest::enter(button);
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    widgettest::saveGrab(button, "HandCursorButton");
    widgettest::leave(button);
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);
}

TEST(HyperlinkTextField, GrabsAtRestAndOnHoverInTheDefaultColours)
{
    QWidget content;
    content.resize(220, 40);
    content.setAutoFillBackground(true);
    content.setPalette(QPalette(QColor(244, 246, 248)));
    auto* field = new HyperlinkTextField("Privacy Policy", &content);
    field->isPrivacyPolicy = true;
    field->setGeometry(16, 8, 190, 24);
    // At rest it carries the link-styled title the About panel gives it.
    QPalette linkStyled = field->palette();
    linkStyled.setColor(QPalette::WindowText, QColor(0, 104, 218));
    field->setPalette(linkStyled);
    QFont titleFont = field->font();
    titleFont.setPixelSize(15);
    titleFont.setUnderline(true);
    field->setFont(titleFont);
    widgettest::saveGrab(content, "HyperlinkTextField-at-rest");
    widgettest::enter(*field);
    EXPECT_EQ(field->textColor(), kLink);
    EXPECT_TRUE(field->isUnderlined());
    widgettest::saveGrab(content, "HyperlinkTextField-hover");
}
