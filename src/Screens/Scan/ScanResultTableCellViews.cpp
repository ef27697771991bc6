#include "Screens/Scan/ScanResultTableCellViews.h"

#include "Screens/Scan/ScreenWidgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor badgeRed(210, 0, 0);

QLabel* makeColumnLabel(QWidget* parent, const char* name, int width)
{
    QLabel* label = screenstyle::makeLabel(parent, name, 12, QFont::Normal, screenstyle::secondaryTextColor, true);
    label->setFixedWidth(width);
    return label;
}

} // namespace

ScanResultParentTableCellView::ScanResultParentTableCellView(QWidget* parent) : QWidget(parent)
{
    using namespace screenstyle;
    using namespace resultcolumns;
    setObjectName("Parent");
    btnCheckBox = new QCheckBox(this);
    btnCheckBox->setObjectName("btnCheckBox");
    btnCheckBox->setFixedWidth(checkBox);
    imgView = new QLabel(this);
    imgView->setObjectName("imgView");
    imgView->setFixedSize(icon, icon);
    imgView->setScaledContents(true);
    lblTitle = makeLabel(this, "lblTitle", 13, QFont::DemiBold);
    lblTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblSubTitleLeft = makeLabel(this, "lblSubTitleLeft", 11, QFont::Normal, secondaryTextColor);
    lblSubTitleRight = makeLabel(this, "lblSubTitleRight", 10, QFont::DemiBold, Qt::white);
    lblCompany = makeColumnLabel(this, "lblCompany", company);
    lblVersion = makeColumnLabel(this, "lblVersion", version);
    lblItemFound = makeLabel(this, "lblItemFound", 13, QFont::DemiBold);
    lblItemFound->setAlignment(Qt::AlignHCenter);
    btnShowDetails = new QPushButton(this);
    btnShowDetails->setObjectName("btnShowDetails");
    btnShowDetails->setFlat(true);
    btnShowDetails->setCursor(Qt::PointingHandCursor);
    btnShowDetails->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; padding: 0; }"));

    auto* subTitle = new QHBoxLayout;
    subTitle->setSpacing(8);
    subTitle->addWidget(lblSubTitleLeft);
    subTitle->addWidget(lblSubTitleRight);
    subTitle->addStretch(1);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addStretch(1);
    texts->addWidget(lblTitle);
    texts->addLayout(subTitle);
    texts->addStretch(1);
    auto* found = new QVBoxLayout;
    found->setSpacing(0);
    found->addStretch(1);
    found->addWidget(lblItemFound);
    found->addWidget(btnShowDetails, 0, Qt::AlignHCenter);
    found->addStretch(1);
    auto* foundBox = new QWidget(this);
    foundBox->setLayout(found);
    foundBox->setFixedWidth(itemsFound);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(leading, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(btnCheckBox);
    layout->addWidget(imgView);
    layout->addLayout(texts, 1);
    layout->addWidget(lblCompany);
    layout->addWidget(lblVersion);
    layout->addWidget(foundBox);
}

void ScanResultParentTableCellView::setBadge(const QString& text)
{
    badgeShown_ = !text.isEmpty();
    lblSubTitleRight->setText(text);
    lblSubTitleRight->setStyleSheet(badgeShown_ ? QStringLiteral("background: %1; border-radius: 3px; padding: 1px 6px;")
                                                      .arg(badgeRed.name())
                                                : QStringLiteral("background: transparent;"));
}

ScanResultChildTableCellView::ScanResultChildTableCellView(QWidget* parent) : QWidget(parent)
{
    using namespace resultcolumns;
    setObjectName("Child");
    lblPath = screenstyle::makeLabel(this, "lblPath", 11, QFont::Normal, screenstyle::secondaryTextColor);
    lblPath->setTextFormat(Qt::PlainText);
    lblPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(leading + checkBox + spacing + icon + spacing, 0, leading, 0);
    layout->addWidget(lblPath);
}
