#include "Screens/Common/RecommendedAppsPanel.h"

#include "Controls/FlatButton.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/PageURLs.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/DesktopActions.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenWidgets.h"

#include <QGridLayout>
#include <QLabel>

#include <array>

namespace {

struct RecommendedApp {
    const char* bundleIdentifier;
    const char* nameKey;
    const char* titleKey;
    const char* imageName;
};

// Entries 1 to 5; their pages are promotionPageURLs() in the same order.
const std::array<RecommendedApp, 5> recommendedApps{{
    {"com.tarnwicklabs.volumebroom", "IDS_BGX_93", "IDS_BGX_94", "vb128"},
    {"com.tarnwicklabs.twinpicturesifter", "IDS_BGX_95", "IDS_BGX_96", "tps128"},
    {"com.tarnwicklabs.twindocumentsifter", "IDS_BGX_97", "IDS_BGX_98", "tds128"},
    {"com.tarnwicklabs.tagforge", "IDS_BGX_99", "IDS_BGX_100", "tf128"},
    {"com.tarnwicklabs.pagemulcher", "IDS_BGX_101", "IDS_BGX_102", "pm128"},
}};

// The entries tried for each counter value read (1 to 5), in order.
const std::array<std::array<int, 5>, 5> triedOrders{{
    {1, 2, 3, 4, 5},
    {2, 3, 4, 5, 1},
    {3, 4, 5, 2, 1},
    {4, 5, 2, 3, 1},
    {5, 4, 1, 2, 3},
}};

constexpr int artworkSize = 96;

std::optional<std::int64_t> storedCounter()
{
    return standardDefaults().integer(SettingsKey::countAdvertise);
}

} // namespace

RecommendedAppsPanel::RecommendedAppsPanel(QWidget* parent) : QFrame(parent)
{
    using namespace screenstyle;
    setObjectName("boxRecommendedApp");
    lblRecommendedFreeApp
        = screenstyle::makeLabel(this, "lblRecommendedFreeApp", 11, screenstyle::captionColor, QFont::DemiBold);
    imgViewAd = new QLabel(this);
    imgViewAd->setObjectName("imgViewAd");
    imgViewAd->setFixedSize(artworkSize, artworkSize);
    imgViewAd->setScaledContents(true);
    lblRecommendedAppName
        = screenstyle::makeLabel(this, "lblRecommendedAppName", 15, screenstyle::inkColor, QFont::DemiBold);
    lblRecommendedAppTitle = screenstyle::makeLabel(
        this, "lblRecommendedAppTitle", 12, screenstyle::captionColor, QFont::Normal, screenstyle::LabelWrap::words);
    btnDownloadNow = makeFilledButton(this, "btnDownloadNow");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(4);
    layout->addWidget(lblRecommendedFreeApp, 0, 0, 1, 2);
    layout->addWidget(imgViewAd, 1, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(lblRecommendedAppName, 1, 1);
    layout->addWidget(lblRecommendedAppTitle, 2, 1);
    layout->addWidget(btnDownloadNow, 3, 1, Qt::AlignLeft);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(1, 1);
}

void RecommendedAppsPanel::setTexts()
{
    lblRecommendedFreeApp->setText(screenText("IDS_BGX_212"));
    btnDownloadNow->setText(screenText("IDS_BGX_73"));
}

void RecommendedAppsPanel::chooseRecommendedApp()
{
    isRecommended = 0;
    if (!storedCounter())
        standardDefaults().setInteger(SettingsKey::countAdvertise, 1);
    const auto counter = storedCounter();
    if (!counter || *counter < 1 || *counter > 5)
        return;
    standardDefaults().setInteger(SettingsKey::countAdvertise, *counter % 5 + 1);
    for (const int entry : triedOrders[static_cast<std::size_t>(*counter - 1)]) {
        if (!isApplicationInstalled(recommendedApps[static_cast<std::size_t>(entry - 1)].bundleIdentifier)) {
            showRecommendedApp(entry);
            return;
        }
    }
    hide();
    isRecommended = 0;
}

void RecommendedAppsPanel::showRecommendedApp(int entry)
{
    if (entry < 1 || entry > 5)
        return;
    const RecommendedApp& app = recommendedApps[static_cast<std::size_t>(entry - 1)];
    isRecommended = entry;
    show();
    lblRecommendedAppName->setText(screenText(app.nameKey));
    lblRecommendedAppTitle->setText(screenText(app.titleKey));
    setImageNamed(*imgViewAd, app.imageName);
}

void RecommendedAppsPanel::openRecommendedApp() const
{
    if (isRecommended < 1 || isRecommended > 5)
        return;
    if (const auto& page = promotionPageURLs()[static_cast<std::size_t>(isRecommended - 1)])
        openURL(page->toString().toStdString());
}

void openSocialPage(const std::optional<QUrl>& page)
{
    if (page)
        openURL(page->toString().toStdString());
}
