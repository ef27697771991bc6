#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>


// Notifications the switch posts on an accepted click (default center, no object).
// userInfo: "isOn" (bool, the new state), "index" (std::optional<int>, the switch's
// `statetag`; empty when unset) and "toggleId" (std::string).
inline constexpr const char* toggleNotificationName = "toggle";
inline constexpr const char* toggleProtectionNotificationName = "toggleprotection";

// The on/off switch: a rounded track with a round knob that slides from the left (off)
// to the right (on). A click flips it and posts "toggleprotection" when `statetag` is
// -100, else "toggle"; a switch whose tag is -1 ignores clicks. Tab gives it the
// keyboard (a focus ring around it shows that) and Space then flips it as a click does.
// Setting `isOn` from a program animates but posts nothing. Screen readers see a check
// box named by the accessible name its owner gives it. Main thread only.
class ToggleSwitch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isOn READ isOn WRITE setIsOn)
    Q_PROPERTY(bool hasToggleBorder READ hasToggleBorder WRITE setHasToggleBorder)
    Q_PROPERTY(qreal outlineWidth READ outlineWidth WRITE setOutlineWidth)
    Q_PROPERTY(qreal toggleBorderWidth READ toggleBorderWidth WRITE setToggleBorderWidth)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius)
    Q_PROPERTY(QColor outlineColor READ outlineColor WRITE setOutlineColor)
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)
    Q_PROPERTY(QColor toggleColor READ toggleColor WRITE setToggleColor)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)

public:
    static constexpr int protectionTag = -100;
    static constexpr int ignoresClicksTag = -1;
    static constexpr double stateAnimationSeconds = 0.3;

    explicit ToggleSwitch(QWidget* parent = nullptr);

    QString toggleId;
    std::optional<int> statetag;
    // Called with the state after each state animation.
    std::function<void(bool)> callback;

    bool isOn() const { return isOn_; }
    void setIsOn(bool on);
    // What a click does: flips the state and posts it; nothing when it ignores clicks.
    void flip();
    bool acceptsUserToggle() const { return statetag != ignoresClicksTag; }
    bool hasToggleBorder() const { return hasToggleBorder_; }
    void setHasToggleBorder(bool border);
    qreal outlineWidth() const { return outlineWidth_; }
    void setOutlineWidth(qreal width);
    qreal toggleBorderWidth() const { return toggleBorderWidth_; }
    void setToggleBorderWidth(qreal width);
    // Without an override: half the height less the outline.
    qreal radius() const;
    void setRadius(qreal radius);
    QColor outlineColor() const { return outlineColor_; }
    void setOutlineColor(const QColor& color);
    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color);
    QColor toggleColor() const { return toggleColor_; }
    void setToggleColor(const QColor& color);
    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);

    // Moves the switch to the look of the current state, animated.
    void updateToggleState();
    // Jumps the running animations to their end.
    void finishAnimations();

    // The look as painted now.
    QRectF knobRect() const;
    qreal trackBorderWidth() const;
    QColor trackBorderColor() const { return trackBorderColor_; }
    bool acceptsTouchEvents() const { return testAttribute(Qt::WA_AcceptTouchEvents); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    qreal knobSide() const { return height() - 2 * outlineWidth_; }
    void refreshLayout(bool updateConstraints);
    void animateKnobStretch(qreal stretch);
    void postToggle() const;
    void paintKnob(QPainter& painter) const;

    bool isOn_ = false;
    bool hasToggleBorder_ = true;
    qreal outlineWidth_ = 2.0;
    qreal toggleBorderWidth_ = 2.0;
    std::optional<qreal> radius_;
    QColor outlineColor_{170, 170, 170};
    QColor fillColor_{170, 170, 170};
    QColor toggleColor_{Qt::white};
    QColor backColor_{Qt::white};

    // The animated look: the knob's way from the off (0) to the on (1) position, its
    // stretch by a quarter of its side while pressed (0...1), how far the track's
    // border fills it (0: the outline width, 1: half the height) and the border colour.
    qreal knobTravel_ = 0;
    qreal knobStretch_ = 0;
    qreal trackFill_ = 0;
    QColor trackBorderColor_;
};
