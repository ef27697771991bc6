#pragma once

#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <cstddef>

class HandCursorButton;
class QAbstractButton;
class QBoxLayout;
class QFrame;
class QPainterPath;
class QVBoxLayout;

// The alert window: a frameless rounded card that floats above other windows
// without taking the keyboard from the user (a click activates it), has no
// taskbar entry and moves where it is dragged. A dark header holds the product's
// icon and name, the shown item's place among those waiting, and the close
// button; below it the attention heading with its badge, the message lines and
// the window's own content. Once the user has given it the keyboard (a click on it),
// Return presses the focused button or else the window's main button, and Escape
// acts as the close button. Main thread only.
class AlertWindow : public QWidget {
public:
    enum class Badge { attention, done };

    // The header's "2 of 3": the shown item's place among those handed to the window.
    const QLabel& queuePlace() const { return *queuePlace_; }

protected:
    explicit AlertWindow(int width);

    // The header's product name label and its close button.
    QLabel& productNameLabel() const { return *productName_; }
    HandCursorButton& closeButton() const { return *close_; }

    // The heading, message and second message lines, made here and filled by the window.
    QLabel* heading() const { return heading_; }
    QLabel* message() const { return message_; }
    QLabel* subMessage() const { return subMessage_; }
    // The width of those lines, beside the badge.
    int messageLineWidth() const;
    void setBadge(Badge badge);

    // A white rounded panel below the message lines, for a caption and its values.
    QFrame* addPanel();
    // A row at the foot of the content, for the window's buttons.
    QBoxLayout& addButtonRow();
    // The button that Return presses.
    void setMainButton(QAbstractButton& button);

    // Fits the window's height to its texts at its fixed width.
    void refit();

    // Shows in the header which of the items handed to the window it shows
    // ("2 of 3"); nothing while there is only one.
    void showQueuePlace(std::size_t position, std::size_t count);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeAttention();
    QPainterPath cardPath() const;
    // Where the window first appears: the top right corner of its screen, below the
    // alerts shown there already when there is room.
    QPoint firstPosition() const;

    QLabel* productName_;
    QLabel* queuePlace_;
    HandCursorButton* close_;
    QLabel* badge_;
    QLabel* heading_;
    QLabel* message_;
    QLabel* subMessage_;
    QVBoxLayout* content_;
    QPointer<QAbstractButton> mainButton_;
    QPoint dragOffset_;
    bool placed_ = false;
};
