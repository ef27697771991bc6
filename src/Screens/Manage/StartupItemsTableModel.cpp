#include "Screens/Manage/StartupItemsTableModel.h"

#include "Foundation/TextTable.h"
#include "Screens/Common/PlainToolTip.h"
#include "Screens/Common/RowTable.h"
#include "Startup/StartupItemsModel.h"

#include <QImage>
#include <QStringList>

namespace {

QString qText(const std::optional<std::string>& text)
{
    return text ? QString::fromStdString(*text) : screenText("IDS_BGX_45");
}

// What tells two items of the same name apart: the label and where the item lives.
QString toolTipOf(const std::optional<std::string>& label, const std::optional<std::string>& path,
                  const std::optional<std::string>& failure = std::nullopt)
{
    QStringList lines;
    for (const auto& line : {label, path, failure})
        if (line && !line->empty())
            lines << QString::fromStdString(*line);
    return lines.join('\n');
}

std::optional<std::string> placeOf(const LoginItem& item)
{
    return item.appUrl ? std::optional(item.appUrl->path()) : item.program;
}

QString toolTipOf(const LoginItem& item)
{
    return toolTipOf(item.label, placeOf(item));
}

QString toolTipOf(const LaunchAgent& agent)
{
    return toolTipOf(agent.label(), agent.plistPath, agent.removalFailure);
}

template <class Record>
QString statusOf(const Record& item)
{
    return screenText(item.isInvalid ? "IDS_BGX_46" : item.isEnable ? "IDS_BGX_23" : "IDS_BGX_24");
}

} // namespace

StartupItemsTableModel::StartupItemsTableModel(const StartupItemsModel& items, QObject* parent)
    : RowTableModel("IDS_BGX_36", parent), items_(items)
{
}

QString StartupItemsTableModel::itemKey(const LoginItem& item)
{
    return QStringList{"login", QString::fromStdString(item.label.value_or("")),
                       QString::fromStdString(placeOf(item).value_or(""))}
        .join('\n');
}

QString StartupItemsTableModel::itemKey(const LaunchAgent& agent)
{
    return QStringList{"agent", QString::fromStdString(agent.label().value_or("")),
                       QString::fromStdString(agent.plistPath.value_or(""))}
        .join('\n');
}

int StartupItemsTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const std::size_t count = items_.menuClicked() == StartupManager::loginItems ? items_.loginItems().size()
                                                                                  : items_.launchAgents().size();
    return static_cast<int>(count);
}

QVariant StartupItemsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (items_.menuClicked() == StartupManager::loginItems) {
        const LoginItem& item = items_.loginItems()[row];
        return recordData(item, !item.isSMLoginItem, role);
    }
    return recordData(items_.launchAgents()[row], true, role);
}

template <class Record>
QVariant StartupItemsTableModel::recordData(const Record& item, bool switchable, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return qText(item.name);
    case Qt::AccessibleDescriptionRole:
        return (captionedColumns({{"IDS_BGX_37", qText(item.company)}, {"IDS_BGX_38", statusOf(item)}})
                << toolTipOf(item).split('\n', Qt::SkipEmptyParts))
            .join(", ");
    case Qt::ToolTipRole:
        return plainToolTip(toolTipOf(item));
    case Qt::CheckStateRole:
        return item.isSelected ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
        return item.icon && !item.icon->isEmpty() ? QVariant(item.icon->bitmap()) : QVariant();
    case RowTableView::itemKeyRole:
        return itemKey(item);
    case companyRole:
        return qText(item.company);
    case statusRole:
        return statusOf(item);
    case switchOnRole:
        return item.isEnable;
    case switchShownRole:
        return !item.isInvalid;
    case switchableRole:
        return switchable && !item.isInvalid;
    default:
        return {};
    }
}
