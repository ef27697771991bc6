#include "Agent/PayloadWindow.h"

#include "Detection/Records.h"
#include "Foundation/TextTable.h"

#include <QVBoxLayout>

namespace {

QString describe(const std::any& value)
{
    if (const auto* text = std::any_cast<std::string>(&value))
        return QString::fromStdString(*text);
    if (const auto* record = std::any_cast<MalwareList>(&value))
        return QString::fromStdString(record->appName.value_or("") + " (" + record->sigInfo.value_or("") + ")");
    return QStringLiteral("?");
}

} // namespace

PayloadWindow::PayloadWindow(const std::string& notificationName)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), payload_(new QLabel(this))
{
    setWindowTitle(QString::fromStdString(localizedText("IDS_BGX_1")));
    setStyleSheet("background: white; color: #333333;");
    auto* heading = new QLabel(QString::fromStdString(notificationName), this);
    heading->setStyleSheet("font-size: 16px; font-weight: bold;");
    payload_->setWordWrap(true);
    payload_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->addWidget(heading);
    layout->addWidget(payload_, 1);
    resize(480, 160);
    observer_ = platform::NotificationCenter::defaultCenter().addObserver(
        notificationName, [this](const platform::Notification& notification) { notificationUpdateUI(notification); });
}

void PayloadWindow::notificationUpdateUI(const platform::Notification& notification)
{
    QStringList lines;
    for (const auto& [key, value] : notification.userInfo)
        lines << QString::fromStdString(key) + ": " + describe(value);
    payload_->setText(lines.join('\n'));
}
