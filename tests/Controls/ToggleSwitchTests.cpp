#include "Controls/ToggleSwitch.h"

#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

using widgettest::NotificationRecorder;
using widgettest::nearColor;
using widgettest::pixelAt;

namespace {

constexpr QColor kRed{200, 0, 0};
constexpr QColor kGreen{0, 180, 0};

// A 60 x 30 switch: outline 2, knob side 26, on-position left 32.
class ToggleSwitchTest : public ::testing::Test {
protected:
    ToggleSwitchTest()
    {
        toggle.resize(60, 30);
        toggle.setOutlineColor(kRed);
        toggle.setFillColor(kGreen);
        toggle.setBackColor(Qt::black);
    }

    void clickAndSettle()
    {
        widgettest::click(toggle, {30, 15});
        toggle.finishAnimations();
    }

    ToggleSwitch toggle;
    NotificationRecorder toggles{toggleNotificationName};
    NotificationRecorder protections{toggleProtectionNotificationName};
};

} // namespace

TEST_F(ToggleSwitchTest, ClickFlipsAndPostsTheNewStateWithTagAndId)
{
    toggle.statetag = 5;
    toggle.toggleId = "agent";
    bool seenInHandler = false;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        toggleNotificationName, [&](const platform::Notification&) { seenInHandler = toggle.isOn(); });
    clickAndSettle();
    EXPECT_TRUE(toggle.isOn());
    EXPECT_TRUE(seenInHandler);
    ASSERT_EQ(toggles.received().size(), 1u);
    const auto& note = toggles.received()[0];
    EXPECT_EQ(note.userInfo.size(), 3u);
    EXPECT_EQ(*note.value<bool>("isOn"), true);
    EXPECT_EQ(*note.value<std::optional<int>>("index"), 5);
    EXPECT_EQ(*note.value<std::string>("toggleId"), "agent");
    EXPECT_TRUE(protections.received().empty());
}

TEST_F(ToggleSwitchTest, NotificationNameFollowsTheTag)
{
    const std::pair<std::optional<int>, bool> cases[] = {
        {-100, true}, {0, false}, {5, false}, {-2, false}, {std::nullopt, false}};
    for (const auto& [tag, protection] : cases) {
        NotificationRecorder toggleNotes(toggleNotificationName);
        NotificationRecorder protectionNotes(toggleProtectionNotificationName);
        toggle.statetag = tag;
        clickAndSettle();
        EXPECT_EQ(protectionNotes.received().size(), protection ? 1u : 0u) << tag.value_or(999);
        EXPECT_EQ(toggleNotes.received().size(), protection ? 0u : 1u) << tag.value_or(999);
    }
    ASSERT_FALSE(toggles.received().empty());
    EXPECT_EQ(*toggles.received().back().value<std::optional<int>>("index"), std::nullopt)
        << "an unset tag travels as a null value";
}

TEST_F(ToggleSwitchTest, TagMinusOneIgnoresPressAndRelease)
{
    toggle.statetag = ToggleSwitch::ignoresClicksTag;
    const QRectF before = toggle.knobRect();
    widgettest::press(toggle, {30, 15});
    toggle.finishAnimations();
    EXPECT_EQ(toggle.knobRect(), before);
    widgettest::release(toggle, {30, 15});
    toggle.finishAnimations();
    EXPECT_FALSE(toggle.isOn());
    EXPECT_TRUE(toggles.received().empty());
}

TEST_F(ToggleSwitchTest, SettingStateFromProgramAnimatesWithoutPosting)
{
    std::vector<bool> callbacks;
    toggle.callback = [&](bool on) { callbacks.push_back(on); };
    toggle.setIsOn(true);
    EXPECT_FALSE(toggle.acceptsTouchEvents()) << "during the animation";
    EXPECT_EQ(toggle.knobRect().left(), 2) << "starts where it was";
    toggle.finishAnimations();
    EXPECT_TRUE(toggle.acceptsTouchEvents());
    EXPECT_EQ(toggle.knobRect(), QRectF(32, 2, 26, 26));
    EXPECT_DOUBLE_EQ(toggle.trackBorderWidth(), 15);
    EXPECT_EQ(toggle.trackBorderColor(), kGreen);
    EXPECT_EQ(callbacks, std::vector<bool>{true});
    EXPECT_TRUE(toggles.received().empty());
}

TEST_F(ToggleSwitchTest, PressStretchesTowardsTheMiddleThenReleaseSlides)
{
    toggle.setIsOn(true);
    toggle.finishAnimations();
    widgettest::press(toggle, {30, 15});
    toggle.finishAnimations();
    EXPECT_EQ(toggle.knobRect(), QRectF(25.5, 2, 32.5, 26)) << "keeps its right edge";
    widgettest::release(toggle, {30, 15});
    toggle.finishAnimations();
    EXPECT_EQ(toggle.knobRect(), QRectF(2, 2, 26, 26));

    widgettest::press(toggle, {30, 15});
    toggle.finishAnimations();
    EXPECT_EQ(toggle.knobRect(), QRectF(2, 2, 32.5, 26)) << "off: keeps its left edge";
}

TEST_F(ToggleSwitchTest, OutlineAndFillColourSettersFollowTheState)
{
    toggle.setFillColor(Qt::blue);
    EXPECT_EQ(toggle.trackBorderColor(), kRed) << "fill colour while off changes nothing";
    toggle.setIsOn(true);
    toggle.finishAnimations();
    toggle.setOutlineColor(Qt::yellow);
    EXPECT_EQ(toggle.trackBorderColor(), QColor(Qt::yellow)) << "until the next state update";
    toggle.updateToggleState();
    toggle.finishAnimations();
    EXPECT_EQ(toggle.trackBorderColor(), QColor(Qt::blue));
}

TEST_F(ToggleSwitchTest, GeometryChangesKeepTheLookOfTheState)
{
    for (const bool on : {true, false}) {
        toggle.setIsOn(on);
        toggle.finishAnimations();
        toggle.setOutlineWidth(3);
        toggle.setRadius(12);
        EXPECT_DOUBLE_EQ(toggle.knobRect().left(), on ? 33.0 : 3.0) << on;
        EXPECT_DOUBLE_EQ(toggle.knobRect().width(), 24.0) << on;
        EXPECT_DOUBLE_EQ(toggle.trackBorderWidth(), on ? 15.0 : 3.0) << on;
        EXPECT_EQ(toggle.trackBorderColor(), on ? kGreen : kRed) << on;
        EXPECT_EQ(toggle.isOn(), on);
    }
}

TEST_F(ToggleSwitchTest, PaintsTrackAndKnobInEachState)
{
    // Off: the outline colour around a black track, the white knob on the left.
    EXPECT_TRUE(nearColor(pixelAt(toggle, {30, 1}), kRed));
    EXPECT_TRUE(nearColor(pixelAt(toggle, {45, 15}), Qt::black));
    EXPECT_TRUE(nearColor(pixelAt(toggle, {15, 12}), Qt::white));
    widgettest::saveGrab(toggle, "ToggleSwitch-off");
    clickAndSettle();
    // On: the border fills the track with the fill colour, the knob on the right.
    EXPECT_TRUE(nearColor(pixelAt(toggle, {15, 15}), kGreen));
    EXPECT_TRUE(nearColor(pixelAt(toggle, {45, 12}), Qt::white));
    widgettest::saveGrab(toggle, "ToggleSwitch-on");
    widgettest::press(toggle, {30, 15});
    toggle.finishAnimations();
    widgettest::saveGrab(toggle, "ToggleSwitch-pressed");
}

TEST_F(ToggleSwitchTest, HoverShowsThePointingHand)
{
    widgettest::enter(toggle);
    EXPECT_EQ(toggle.cursor().shape(), Qt::PointingHandCursor);
    widgettest::leave(toggle);
    EXPECT_EQ(toggle.cursor().shape(), Qt::ArrowCursor);
}
