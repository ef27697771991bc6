#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>

#include <optional>

// The flat push button of the prominent actions. It paints three layers: its own
// (background, border, corner radius), the image tinted in the image colour, and the
// title. Their colours follow `state` (1: the highlight set, else the normal set),
// animated; hover and press change the background of the normal set. A click (press
// and release without leaving) emits clicked(); the state does not change by a click.
// Colours start unset (nothing painted). Tab gives it the keyboard (a click does not);
// while it has it, Space presses it (the focus ring round it follows its corners).
// Main thread only.
class FlatButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool isHideHover MEMBER isHideHover)
    Q_PROPERTY(bool momentary READ momentary WRITE setMomentary)
    Q_PROPERTY(int state READ state WRITE setState)
    Q_PROPERTY(int section MEMBER section)
    Q_PROPERTY(int row MEMBER row)
    Q_PROPERTY(QColor normalColor READ normalColor WRITE setNormalColor)
    Q_PROPERTY(QColor hoverColor READ hoverColor WRITE setHoverColor)
    Q_PROPERTY(double onAnimateDuration MEMBER onAnimateDuration)
    Q_PROPERTY(double offAnimateDuration MEMBER offAnimateDuration)
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(double borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(double spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QColor borderNormalColor READ borderNormalColor WRITE setBorderNormalColor)
    Q_PROPERTY(QColor borderHighlightColor READ borderHighlightColor WRITE setBorderHighlightColor)
    Q_PROPERTY(QColor backgroundNormalColor READ backgroundNormalColor WRITE setBackgroundNormalColor)
    Q_PROPERTY(QColor backgroundHighlightColor READ backgroundHighlightColor WRITE setBackgroundHighlightColor)
    Q_PROPERTY(QColor imageNormalColor READ imageNormalColor WRITE setImageNormalColor)
    Q_PROPERTY(QColor imageHighlightColor READ imageHighlightColor WRITE setImageHighlightColor)
    Q_PROPERTY(QColor titleNormalColor READ titleNormalColor WRITE setTitleNormalColor)
    Q_PROPERTY(QColor titleHighlightColor READ titleHighlightColor WRITE setTitleHighlightColor)
    Q_PROPERTY(QImage image READ image WRITE setImage)
    Q_PROPERTY(int imagePosition READ imagePosition WRITE setImagePosition)
    Q_PROPERTY(bool imageHugsTitle READ imageHugsTitle WRITE setImageHugsTitle)

public:
    // Where the image lies against the title (the platform's image positions).
    enum ImagePosition { noImage = 0, imageOnly, imageLeft, imageRight, imageBelow, imageAbove,
                         imageOverlaps, imageLeading, imageTrailing };

    // The painted colours, each animated towards the colour of the set in force.
    enum class LayerColor { border, background, image, title };

    explicit FlatButton(QWidget* parent = nullptr);

    bool isHideHover = false;
    int section = 0;
    int row = 0;
    double onAnimateDuration = 0;
    double offAnimateDuration = 0;

    bool momentary() const { return momentary_; }
    void setMomentary(bool momentary);
    int state() const { return state_; }
    void setState(int state);
    bool mouseDown() const { return mouseDown_; }

    QColor normalColor() const { return normalColor_; }
    void setNormalColor(const QColor& color);
    QColor hoverColor() const { return hoverColor_; }
    void setHoverColor(const QColor& color);
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius);
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width);
    double spacing() const { return spacing_; }
    void setSpacing(double spacing);

    QColor borderNormalColor() const { return borderNormalColor_; }
    void setBorderNormalColor(const QColor& color);
    QColor borderHighlightColor() const { return borderHighlightColor_; }
    void setBorderHighlightColor(const QColor& color);
    QColor backgroundNormalColor() const { return backgroundNormalColor_; }
    void setBackgroundNormalColor(const QColor& color);
    QColor backgroundHighlightColor() const { return backgroundHighlightColor_; }
    void setBackgroundHighlightColor(const QColor& color);
    QColor imageNormalColor() const { return imageNormalColor_; }
    void setImageNormalColor(const QColor& color);
    QColor imageHighlightColor() const { return imageHighlightColor_; }
    void setImageHighlightColor(const QColor& color);
    QColor titleNormalColor() const { return titleNormalColor_; }
    void setTitleNormalColor(const QColor& color);
    QColor titleHighlightColor() const { return titleHighlightColor_; }
    void setTitleHighlightColor(const QColor& color);

    QImage image() const { return image_; }
    void setImage(const QImage& image);
    int imagePosition() const { return imagePosition_; }
    void setImagePosition(int position);
    bool imageHugsTitle() const { return imageHugsTitle_; }
    void setImageHugsTitle(bool hugs);

    // Animates the four painted colours to the set of the given state.
    void animateColorWithState(int state);
    // Stops every colour animation; the colours jump to their targets.
    void removeAllAnimations();
    // Jumps the running animations to their end.
    void finishAnimations();
    // Ends a press from outside the event handling: clears mouseDown, flips the state
    // when momentary, and emits clicked().
    void animateForButtonUp();

    // The frames of the image and the title as painted now; empty when not shown.
    std::optional<QRectF> imageFrame() const;
    std::optional<QRectF> titleFrame() const;
    QColor shownColor(LayerColor layer) const;
    // 1.0, or 0.5 when the button was disabled when it was first set up for showing.
    qreal opacity() const { return opacity_; }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct AnimatedColor {
        QColor target;
        QColor shown;
    };

    void setColor(QColor& member, const QColor& color);
    void animateLayer(LayerColor layer, const QColor& color, double seconds);
    AnimatedColor& animated(LayerColor layer);
    void mouseExited();
    void paintImage(QPainter& painter, const QRectF& frame) const;

    bool momentary_ = false;
    int state_ = 0;
    bool mouseDown_ = false;
    qreal opacity_ = 1.0;
    QColor normalColor_, hoverColor_;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    double spacing_ = 0;
    QColor borderNormalColor_, borderHighlightColor_;
    QColor backgroundNormalColor_, backgroundHighlightColor_;
    QColor imageNormalColor_, imageHighlightColor_;
    QColor titleNormalColor_, titleHighlightColor_;
    QImage image_;
    int imagePosition_ = noImage;
    bool imageHugsTitle_ = false;

    // A text layer starts with white text; the other layers without colour.
    AnimatedColor border_, background_, imageColor_, title_{Qt::white, Qt::white};
};
