#pragma once

#include <QFont>
#include <QRect>
#include <QString>

// Widths of the results table's columns, shared by the column headers and the rows.
namespace resultcolumns {
inline constexpr int leading = 16;
inline constexpr int checkBox = 22;
inline constexpr int icon = 36;
inline constexpr int company = 150;
inline constexpr int version = 90;
inline constexpr int itemsFound = 120;
inline constexpr int spacing = 12;
inline constexpr int parentRowHeight = 60;
inline constexpr int childRowHeight = 30;
} // namespace resultcolumns

// The fonts of a result row, made from the view's font.
struct ScanResultRowFonts {
    explicit ScanResultRowFonts(const QFont& base);

    QFont title, subTitle, badge, column, count, link, path;
};

// Where the parts of a record's row lie in its rectangle: the checkbox, the icon, the
// title over the threat line and its badge, the company and version columns, and the
// number of paths over the link that shows or hides them. The badge and link sizes
// follow their texts.
struct ScanResultParentLayout {
    ScanResultParentLayout(const QRect& row, const ScanResultRowFonts& fonts, const QString& threatText,
                           const QString& badgeWhole, const QString& linkText);

    QRect checkBox, icon, title, subTitleLeft, badge, company, version, count, link;
    QString badgeText; // the badge's text, elided only past the room its column leaves
    QRect badgeTextRect() const; // where the badge's text lies in it
};

// Where a record's row, at `row`, shows its checkbox.
QRect parentCheckBoxRect(const QRect& row);

// Where a path row draws its path.
QRect childPathRect(const QRect& row);

// The text as it fits `width` in `font`, shortened in the middle with "…".
QString elidedInMiddle(const QString& text, const QFont& font, int width);
