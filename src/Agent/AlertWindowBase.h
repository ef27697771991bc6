#pragma once

#include <QColor>
#include <QLabel>
#include <QPoint>
#include <QWidget>

#include <string>

class FlatButton;
class HandCursorButton;
class QBoxLayout;
class QFrame;
class QPainterPath;
class QVBoxLayout;

// What the agent's three alert windows share. Main thread only.

// The application the alerts hand the user over to, and the agent's own identifier
// (fixed texts: the object of the agent's distributed notifications).
inline constexpr const char* applicationBundleIdentifier = "com.tarnwicklabs.bastionguardpoint";
inline constexpr const char* agentNotificationObject = "com.tarnwicklabs.activeguardsentinelwarden";

// The text of a key of the agent's text table, empty when there is none.
QString alertText(const std::string& key);

// Manage Now and Scan Now: stores the click date under `clickDateKey` in the suite,
// launches the application by bundle identifier (a running one is not started
// again), and when the application runs (exactly that identifier) posts
// `notificationName` on the distributed center. Returns whether it posted.
bool handOverToApplication(const char* clickDateKey, const char* notificationName);

// A label that shows a text too long for it with an ellipsis in the middle; its
// text stays whole (and is its tool tip).
class ElidingLabel : public QLabel {
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label drawn as a rounded badge in `fill`, as wide as its text; a text too long
// for the room it gets ends with an ellipsis (and is its tool tip).
class BadgeLabel : public QLabel {
public:
    BadgeLabel(const QColor& fill, QWidget* parent = nullptr);
    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};

// The alert window: a frameless rounded card that floats above other windows, has
// no taskbar entry and moves where it is dragged. A dark header holds the
// product's icon and name and the close button; below it the attention heading
// with its badge, the message lines and the window's own content.
class AlertWindow : public QWidget {
public:
    // The product's colours as the alerts use them.
    static const QColor headerColor;   // the main window's chrome
    static const QColor bodyColor;     // the main window's content
    static const QColor textColor;
    static const QColor mutedColor;
    static const QColor accentColor;   // the sidebar marker orange
    static const QColor dangerColor;
    static const QColor safeColor;

    enum class Badge { attention, done };

protected:
    explicit AlertWindow(int width);

    // The header's product name label and its close button.
    QLabel& productNameLabel() const { return *productName_; }
    HandCursorButton& closeButton() const { return *close_; }

    // The heading, message and second message lines, made here and filled by the window.
    QLabel* heading() const { return heading_; }
    QLabel* message() const { return message_; }
    QLabel* subMessage() const { return subMessage_; }
    void setBadge(Badge badge);

    // A white rounded panel below the message lines, for a caption and its values.
    QFrame* addPanel();
    // A row at the foot of the content, for the window's buttons.
    QBoxLayout& addButtonRow();

    // Fits the window's height to its texts at its fixed width.
    void refit();

    static QLabel* makeLabel(QWidget* parent, int pointSize, const QColor& colour, bool bold = false);
    static void styleLabel(QLabel& label, int pointSize, const QColor& colour, bool bold = false);
    // The flat button of the prominent action, in `fill` (lighter while hovered).
    static FlatButton* makeActionButton(QWidget* parent, const QColor& fill);
    static void setActionButtonColor(FlatButton& button, const QColor& fill);
    // Keeps a button wide enough for its title.
    static void fitToTitle(FlatButton& button);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeAttention();
    QPainterPath cardPath() const;
    // Where the window first appears: the top right corner of its screen, below the
    // alerts shown there already when there is room.
    QPoint firstPosition() const;

    QLabel* productName_;
    HandCursorButton* close_;
    QLabel* badge_;
    QLabel* heading_;
    QLabel* message_;
    QLabel* subMessage_;
    QVBoxLayout* content_;
    QPoint dragOffset_;
    bool placed_ = false;
};
