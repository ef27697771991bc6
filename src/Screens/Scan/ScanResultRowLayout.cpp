#include "Screens/Scan/ScanResultRowLayout.h"

#include <QFontMetrics>

#include <algorithm>

using namespace resultcolumns;

namespace {

constexpr int textsLeft = leading + checkBox + spacing + icon + spacing;
constexpr int lineGap = 2;               // between the title and the threat line
constexpr int badgeGap = 8;              // between the threat text and its badge
constexpr int badgePadding = 10;         // left and right of the badge's text
constexpr int badgeVerticalPadding = 1;  // above and below it
constexpr int checkBoxHeight = 15;
constexpr int countInset = 9;            // the number's margin inside its column

QFont sized(const QFont& base, int pointSize, QFont::Weight weight)
{
    QFont font = base;
    font.setPointSize(pointSize);
    font.setWeight(weight);
    return font;
}

// The size a one-line label of `text` asks for.
QSize textSize(const QFont& font, const QString& text)
{
    return QFontMetrics(font).boundingRect(QRect(0, 0, 2000, 2000), Qt::TextSingleLine, text).size();
}

int textWidth(const QFont& font, const QString& text)
{
    return textSize(font, text).width();
}

} // namespace

ScanResultRowFonts::ScanResultRowFonts(const QFont& base)
    : title(sized(base, 13, QFont::DemiBold)),
      subTitle(sized(base, 11, QFont::Normal)),
      badge(sized(base, 10, QFont::DemiBold)),
      column(sized(base, 12, QFont::Normal)),
      count(sized(base, 13, QFont::DemiBold)),
      link(base),
      path(sized(base, 11, QFont::Normal))
{
    link.setPixelSize(13);
    link.setUnderline(true);
}

QRect parentCheckBoxRect(const QRect& row)
{
    return {row.x() + leading, row.y() + (row.height() - checkBoxHeight) / 2, resultcolumns::checkBox, checkBoxHeight};
}

ScanResultParentLayout::ScanResultParentLayout(const QRect& row, const ScanResultRowFonts& fonts,
                                               const QString& threatText, const QString& badgeWhole,
                                               const QString& linkText)
{
    const int x = row.x();
    const int y = row.y();
    const int width = row.width();
    const int height = row.height();
    checkBox = parentCheckBoxRect(row);
    icon = QRect(x + leading + resultcolumns::checkBox + spacing, y + (height - resultcolumns::icon) / 2,
                 resultcolumns::icon, resultcolumns::icon);

    const int columnsWidth = resultcolumns::company + resultcolumns::version + itemsFound + 3 * spacing;
    const int textsWidth = std::max(0, width - textsLeft - columnsWidth);
    const int titleHeight = QFontMetrics(fonts.title).height();
    const int badgeHeight = QFontMetrics(fonts.badge).height() + 2 * badgeVerticalPadding;
    const int lineHeight = std::max(QFontMetrics(fonts.subTitle).height(), badgeHeight);
    const int textsTop = y + (height - titleHeight - lineGap - lineHeight) / 2;
    title = QRect(x + textsLeft, textsTop, textsWidth, titleHeight);
    const int lineTop = textsTop + titleHeight + lineGap;
    subTitleLeft = QRect(x + textsLeft, lineTop, textWidth(fonts.subTitle, threatText), lineHeight);
    // The badge has the rest of the texts' column; its text is shortened only past it.
    const int badgeLeft = subTitleLeft.right() + 1 + badgeGap;
    const int badgeRoom = std::max(0, title.right() + 1 - badgeLeft - 2 * badgePadding);
    badgeText = QFontMetrics(fonts.badge).elidedText(badgeWhole, Qt::ElideRight, badgeRoom);
    badge = QRect(badgeLeft, lineTop, textWidth(fonts.badge, badgeText) + 2 * badgePadding, lineHeight);

    const int companyLeft = x + width - columnsWidth + spacing;
    company = QRect(companyLeft, y, resultcolumns::company, height);
    version = QRect(company.right() + 1 + spacing, y, resultcolumns::version, height);
    const int countLeft = version.right() + 1 + spacing;
    const int countHeight = QFontMetrics(fonts.count).height();
    const int linkHeight = textSize(fonts.link, linkText).height();
    const int countTop = y + (height - countHeight - linkHeight) / 2;
    count = QRect(countLeft + countInset, countTop, itemsFound - 2 * countInset, countHeight);
    const int linkWidth = textWidth(fonts.link, linkText);
    link = QRect(countLeft + (itemsFound - linkWidth) / 2, countTop + countHeight, linkWidth, linkHeight);
}

QRect ScanResultParentLayout::badgeTextRect() const
{
    return badge.adjusted(badgePadding, badgeVerticalPadding, -badgePadding, -badgeVerticalPadding);
}

QRect childPathRect(const QRect& row)
{
    return row.adjusted(textsLeft, 0, -leading, 0);
}

QString elidedInMiddle(const QString& text, const QFont& font, int width)
{
    return QFontMetrics(font).elidedText(text, Qt::ElideMiddle, width);
}
