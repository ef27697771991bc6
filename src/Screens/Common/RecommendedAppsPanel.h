#pragma once

#include <QFrame>
#include <QUrl>

#include <optional>

class FlatButton;
class QLabel;

// The panel of a clean screen's result box that recommends one free product of the
// maker. Each showing of a clean screen chooses anew: the counter "CountAdvertiseBGX"
// of the standard defaults says where the choice starts (and is advanced), and a
// product already in the applications folder is passed over; with all five installed
// the panel hides. Download opens the chosen product's page through the desktop
// actions. Main thread only.
class RecommendedAppsPanel : public QFrame {
public:
    explicit RecommendedAppsPanel(QWidget* parent = nullptr);

    QLabel* lblRecommendedFreeApp = nullptr;
    QLabel* imgViewAd = nullptr;
    QLabel* lblRecommendedAppName = nullptr;
    QLabel* lblRecommendedAppTitle = nullptr;
    FlatButton* btnDownloadNow = nullptr;

    // The entry shown, 1 to 5; 0 for none.
    int isRecommended = 0;

    // Advances the counter and shows the first product, in the counter's order, that
    // is not installed. A counter outside 1 to 5 leaves everything as it is.
    void chooseRecommendedApp();
    // Shows entry 1 to 5: its name, tag line and artwork.
    void showRecommendedApp(int entry);
    // Opens the page of the entry shown; nothing when none is.
    void openRecommendedApp() const;
    // Sets the fixed texts: the heading and the Download title.
    void setTexts();
};

// Opens one of the maker's social pages; nothing when the address is absent.
void openSocialPage(const std::optional<QUrl>& page);
