#include "Screens/Common/DateText.h"

#include <QDateTime>
#include <QLocale>

#include <chrono>

std::string dateTimeText(platform::Date date)
{
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(milliseconds.count());
    return QLocale().toString(local, "dd/MM/yyyy hh:mm:ss AP").toStdString();
}
