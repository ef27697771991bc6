#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class HyperlinkTextField;

// Widths of the results table's columns, shared by the column headers and the cells.
namespace resultcolumns {
inline constexpr int leading = 16;
inline constexpr int checkBox = 22;
inline constexpr int icon = 36;
inline constexpr int company = 150;
inline constexpr int version = 90;
inline constexpr int itemsFound = 120;
inline constexpr int spacing = 12;
} // namespace resultcolumns

// The cell of a record's row: selection, icon, title with the threat line and its
// red badge, company, version, the number of paths and the link that shows or hides
// them. Filled by the results screen.
class ScanResultParentTableCellView : public QWidget {
public:
    explicit ScanResultParentTableCellView(QWidget* parent = nullptr);

    QCheckBox* btnCheckBox = nullptr;
    QLabel* imgView = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblSubTitleLeft = nullptr;
    QLabel* lblSubTitleRight = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblItemFound = nullptr;
    HyperlinkTextField* btnShowDetails = nullptr;

    // The badge: the text (elided when long) in white on red with rounded corners, or
    // nothing when `text` is empty.
    void setBadge(const QString& text);
    // Whether the badge shows its red background.
    bool badgeShown() const { return badgeShown_; }
    // The company and version columns on one line each, elided to their width; the
    // whole text is the label's tool tip.
    void setCompany(const QString& company);
    void setVersion(const QString& version);

private:
    bool badgeShown_ = false;
};

// The cell of one found path under its record.
class ScanResultChildTableCellView : public QWidget {
public:
    explicit ScanResultChildTableCellView(QWidget* parent = nullptr);

    QLabel* lblPath = nullptr;
};
