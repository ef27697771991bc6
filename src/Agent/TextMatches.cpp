#include "Agent/TextMatches.h"

#include <QRegularExpression>

std::vector<std::string> matches(const std::string& pattern, const std::string& text)
{
    const QRegularExpression expression(QString::fromStdString(pattern), QRegularExpression::CaseInsensitiveOption);
    std::vector<std::string> found;
    if (!expression.isValid())
        return found;
    auto each = expression.globalMatch(QString::fromStdString(text));
    while (each.hasNext())
        found.push_back(each.next().captured(0).toStdString());
    return found;
}
