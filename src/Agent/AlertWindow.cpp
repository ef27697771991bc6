#include "Agent/AlertWindow.h"

#include "Agent/AlertStyle.h"
#include "Controls/HandCursorButton.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Platform/Bundle/Bundle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int headerHeight = 44;
constexpr qreal cardRadius = 10;
constexpr int margin = 22;
constexpr int badgeSize = 40;
constexpr int badgeGap = 14;
constexpr int screenInset = 24;
constexpr int screenGap = 12;

QPixmap bundleImage(const std::string& name, int size)
{
    const auto path = platform::Bundle::main().pathForResource(name, "png");
    if (!path)
        return {};
    const QPixmap image(QString::fromStdString(*path));
    return image.isNull() ? image : image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

using namespace alertstyle;

AlertWindow::AlertWindow(int width)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (!languageTable())
        languageTable() = readBundlePlist("English");
    setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, margin);
    layout->setSpacing(16);
    layout->addWidget(makeHeader());
    layout->addWidget(makeAttention());
    content_ = new QVBoxLayout;
    content_->setContentsMargins(margin, 0, margin, 0);
    content_->setSpacing(14);
    layout->addLayout(content_);
}

void AlertWindow::refit()
{
    // The panels lay out their own children: their pending requests first.
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    layout()->activate();
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                     : layout()->totalSizeHint().height();
    setFixedHeight(height);
}

QWidget* AlertWindow::makeHeader()
{
    auto* header = new QWidget(this);
    header->setFixedHeight(headerHeight);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 0, 10, 0);
    row->setSpacing(8);
    auto* icon = new QLabel(header);
    icon->setPixmap(bundleImage("AppIcon", 22));
    productName_ = makeLabel(header, 13, Qt::white, true);
    productName_->setText(screenText("IDS_BGX_1"));
    queuePlace_ = makeLabel(header, 11, QColor(169, 180, 192));
    queuePlace_->hide();
    close_ = new HandCursorButton(QStringLiteral("\u2715"), header);
    close_->setFlat(true);
    close_->setFixedSize(28, 28);
    close_->setStyleSheet("QPushButton { color: #a9b4c0; border: none; font-size: 15px; }"
                          "QPushButton:hover { color: white; }");
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(icon);
    row->addWidget(productName_, 1);
    row->addWidget(queuePlace_);
    row->addWidget(close_);
    return header;
}

void AlertWindow::showQueuePlace(std::size_t position, std::size_t count)
{
    queuePlace_->setText(QString("%1 %2 %3").arg(position).arg(screenText("IDS_BGX_261")).arg(count));
    queuePlace_->setVisible(count > 1);
}

QWidget* AlertWindow::makeAttention()
{
    auto* block = new QWidget(this);
    auto* row = new QHBoxLayout(block);
    row->setContentsMargins(margin, 0, margin, 0);
    row->setSpacing(badgeGap);
    badge_ = new QLabel(block);
    badge_->setFixedSize(badgeSize, badgeSize);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(4);
    heading_ = makeLabel(block, 18, dangerColor, true);
    message_ = makeLabel(block, 13, textColor, true);
    subMessage_ = makeLabel(block, 11, mutedColor);
    for (QLabel* line : {heading_, message_, subMessage_}) {
        line->setWordWrap(true);
        lines->addWidget(line);
    }
    row->addWidget(badge_, 0, Qt::AlignTop);
    row->addLayout(lines, 1);
    setBadge(Badge::attention);
    return block;
}

int AlertWindow::messageLineWidth() const
{
    return width() - 2 * margin - badgeSize - badgeGap;
}

void AlertWindow::setBadge(Badge badge)
{
    badge_->setPixmap(bundleImage(badge == Badge::attention ? "exclamationM" : "singletick", badgeSize));
    setLabelColour(*heading_, badge == Badge::attention ? dangerColor : safeColor);
}

QFrame* AlertWindow::addPanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName("alertPanel");
    panel->setStyleSheet("QFrame#alertPanel { background: white; border: 1px solid #dde2e7; border-radius: 6px; }");
    content_->addWidget(panel);
    return panel;
}

QBoxLayout& AlertWindow::addButtonRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    content_->addSpacing(4);
    content_->addLayout(row);
    return *row;
}

QPainterPath AlertWindow::cardPath() const
{
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cardRadius, cardRadius);
    return card;
}

void AlertWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath card = cardPath();
    painter.fillPath(card, bodyColor);
    painter.save();
    painter.setClipRect(0, 0, width(), headerHeight);
    painter.fillPath(card, headerColor);
    painter.restore();
    painter.fillRect(QRectF(0, headerHeight - 3, width(), 3), sidebarLineColor());
    painter.setPen(QPen(headerColor, 1));
    painter.drawPath(card);
}

void AlertWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Without a compositor the transparent corners would show black: cut them off.
    setMask(QRegion(cardPath().toFillPolygon().toPolygon()));
}

void AlertWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (placed_ || event->spontaneous() || !screen())
        return;
    move(firstPosition());
    placed_ = true;
}

QPoint AlertWindow::firstPosition() const
{
    const QRect area = screen()->availableGeometry();
    std::vector<QRect> taken;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && dynamic_cast<AlertWindow*>(window))
            taken.push_back(window->frameGeometry().adjusted(0, 0, screenGap, screenGap));
    }
    const QPoint corner(area.right() - width() - screenInset, area.top() + screenInset);
    QRect place(corner, size());
    // Below an alert in the way, or to its left where the screen ends below it.
    for (std::size_t moves = 0; moves <= 2 * taken.size(); ++moves) {
        const auto inTheWay = std::find_if(taken.begin(), taken.end(), [&](const QRect& other) {
            return other.intersects(place);
        });
        if (inTheWay == taken.end())
            return area.contains(place) ? place.topLeft() : corner;
        place.moveTop(inTheWay->bottom() + 1);
        if (place.bottom() > area.bottom())
            place.moveTopLeft({inTheWay->left() - screenGap - width(), corner.y()});
    }
    return corner;
}

void AlertWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void AlertWindow::setMainButton(QAbstractButton& button)
{
    mainButton_ = &button;
}

void AlertWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
        QAbstractButton* pressed = focused ? focused : mainButton_.data();
        if (pressed && pressed->isVisible() && pressed->isEnabled())
            pressed->click();
        break;
    }
    case Qt::Key_Escape:
        close_->click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void AlertWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - dragOffset_);
    QWidget::mouseMoveEvent(event);
}
