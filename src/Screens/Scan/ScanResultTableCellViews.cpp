#include "Screens/Scan/ScanResultTableCellViews.h"

#include "Controls/HyperlinkTextField.h"
#include "Screens/Common/ScreenWidgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* makeColumnLabel(QWidget* parent, const char* name, int width)
{
    QLabel* label = screenstyle::makeLabel(parent, name, 12, screenstyle::captionColor);
    label->setFixedWidth(width);
    return label;
}

void setElided(QLabel& label, const QString& text, int width)
{
    label.setText(label.fontMetrics().elidedText(text, Qt::ElideRight, width));
    label.setToolTip(text);
}

} // namespace

ScanResultParentTableCellView::ScanResultParentTableCellView(QWidget* parent) : QWidget(parent)
{
    using namespace scanlook;
    using namespace resultcolumns;
    setObjectName("Parent");
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#Parent { background: %1; }").arg(screenstyle::panelColor.name()));
    btnCheckBox = new QCheckBox(this);
    btnCheckBox->setObjectName("btnCheckBox");
    btnCheckBox->setFixedWidth(checkBox);
    imgView = new QLabel(this);
    imgView->setObjectName("imgView");
    imgView->setFixedSize(icon, icon);
    imgView->setScaledContents(true);
    lblTitle = screenstyle::makeLabel(this, "lblTitle", 13, screenstyle::inkColor, QFont::DemiBold);
    lblTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblSubTitleLeft = screenstyle::makeLabel(this, "lblSubTitleLeft", 11, screenstyle::captionColor);
    lblSubTitleRight = screenstyle::makeLabel(this, "lblSubTitleRight", 10, Qt::white, QFont::DemiBold);
    lblCompany = makeColumnLabel(this, "lblCompany", company);
    lblVersion = makeColumnLabel(this, "lblVersion", version);
    lblItemFound = screenstyle::makeLabel(this, "lblItemFound", 13, screenstyle::inkColor, QFont::DemiBold);
    lblItemFound->setAlignment(Qt::AlignHCenter);
    btnShowDetails = scanlook::makeLink(this, "btnShowDetails", 13);

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
    constexpr int badgeTextWidth = 150; // leaves the threat line inside its column
    badgeShown_ = !text.isEmpty();
    setElided(*lblSubTitleRight, text, badgeTextWidth);
    lblSubTitleRight->setStyleSheet(
        badgeShown_ ? QStringLiteral("color: white; background: %1; border-radius: 3px; padding: 1px 6px;")
                          .arg(scanlook::threatRed.name())
                    : QStringLiteral("background: transparent;"));
}

void ScanResultParentTableCellView::setCompany(const QString& company)
{
    setElided(*lblCompany, company, resultcolumns::company);
}

void ScanResultParentTableCellView::setVersion(const QString& version)
{
    setElided(*lblVersion, version, resultcolumns::version);
}

ScanResultChildTableCellView::ScanResultChildTableCellView(QWidget* parent) : QWidget(parent)
{
    using namespace resultcolumns;
    setObjectName("Child");
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#Child { background: %1; }").arg(screenstyle::screenColor.name()));
    lblPath = screenstyle::makeLabel(this, "lblPath", 11, screenstyle::captionColor);
    lblPath->setTextFormat(Qt::PlainText);
    lblPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(leading + checkBox + spacing + icon + spacing, 0, leading, 0);
    layout->addWidget(lblPath);
}
