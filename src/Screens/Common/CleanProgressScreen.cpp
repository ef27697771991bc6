#include "Screens/Common/CleanProgressScreen.h"

#include "Controls/FlatButton.h"
#include "Controls/FocusRing.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/PageURLs.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ProgressColumn.h"
#include "Screens/Common/RecommendedAppsPanel.h"
#include "Screens/Common/ScreenContainer.h"
#include "Screens/Common/ScreenWidgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The two social icons, 20 x 20 PNG images carried in the program.
const char* const facebookIconBase64 = "iVBORw0KGgoAAAANSUhEUgAAABQAAAAUCAYAAACNiR0NAAAAXElEQVR42mNgIAJYR874D8IMlACYIbgw1QwiyWBSDcNrKLmG4TQUl0JcAK+B+Gwm1kAUQ4k1kGhvU9VAUr1KyGDqGzj4w5AmBhIbOVTPKXTLz/QrvmhSwFJaBQAAELq9Mo3VV74AAAAASUVORK5CYII=";
const char* const twitterIconBase64 = "iVBORw0KGgoAAAANSUhEUgAAABQAAAAUCAYAAACNiR0NAAAAYUlEQVR42s3VQQ4AEAwEwH7E433RB0gPLmJpV5vYpEcTJJaIIaW2riMvmQiaMMgFe7EjymIQDQU9CzVX1AqtcYGWbEEWQ0cXFoPguksWgnfIYrng/y8lpRxS6iulYF+/gAEgEEmrV1LOggAAAABJRU5ErkJggg==";

QPixmap pixmapFromBase64(const char* base64)
{
    QPixmap pixmap;
    pixmap.loadFromData(QByteArray::fromBase64(base64), "PNG");
    return pixmap;
}

QFrame* makePlainBox(QWidget* parent, const char* name)
{
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    return box;
}

// A clickable row of an icon and a caption: the button lies over both.
QWidget* makeSocialLink(QWidget* parent, QPushButton*& button, QLabel*& icon, QLabel*& caption, const char* name,
                        const char* base64)
{
    auto* row = new QWidget(parent);
    auto* content = new QWidget(row);
    auto* contentLayout = new QHBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(8);
    icon = new QLabel(content);
    icon->setObjectName(QStringLiteral("imgView%1").arg(name));
    icon->setPixmap(pixmapFromBase64(base64));
    icon->setFixedSize(20, 20);
    caption = screenstyle::makeLabel(content, "", 12, screenstyle::inkColor);
    caption->setObjectName(QStringLiteral("lbl%1").arg(name));
    contentLayout->addWidget(icon);
    contentLayout->addWidget(caption, 1);
    button = new QPushButton(row);
    button->setObjectName(QStringLiteral("btn%1").arg(name));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(controls::overlayButtonStyle());
    button->setFocusPolicy(Qt::TabFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); // the whole row
    auto* layout = new QGridLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content, 0, 0);
    layout->addWidget(button, 0, 0);
    return row;
}

} // namespace

CleanProgressScreen::CleanProgressScreen(const CleanProgressSetup& setup, QWidget* parent)
    : QWidget(parent), setup_(setup)
{
    screenstyle::fillBackground(*this, screenstyle::screenColor);
    buildProgressBox();
    buildResultBox();
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxCleanProcess, 0, 0);
    layout->addWidget(boxCleanResult, 0, 0);

    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver(setup.boxSwitchName, [this](const auto& n) { notificationSetView(n); }));
    observers_.push_back(center.addObserver(setup.completionName, [this](const auto& n) {
        repaint_.flush();
        notificationUpdateValues(n);
        describeOutcome();
    }));
    observers_.push_back(center.addObserver(setup.progressName, [this](const auto& n) { notifyCleanProcess(n); }));

    boxCleanProcess->show();
    boxCleanResult->hide();
    isCleanInProgress = false;
    boxRecommendedApp->setTexts();
    showCleanupStatus(true);
    lblFollowUs->setText(screenText("IDS_BGX_75"));
    lblTwitter->setText(screenText("IDS_BGX_76"));
    lblFacebook->setText(screenText("IDS_BGX_77"));
    btnTwitter->setAccessibleName(lblTwitter->text()); // each button lies over its caption
    btnFacebook->setAccessibleName(lblFacebook->text());
    btnHome->hide();
    btnHome->setText(screenText("IDS_BGX_178"));
}

CleanProgressScreen::~CleanProgressScreen() = default;

void CleanProgressScreen::buildProgressBox()
{
    boxCleanProcess = makePlainBox(this, "boxCleanProcess");
    btnStopClean = screenstyle::makeOutlinedButton(boxCleanProcess, "btnStopClean");
    btnStopClean->setText(QStringLiteral("Stop"));
    connect(btnStopClean, &FlatButton::clicked, this, [this] { clickedStopClean(); });
    const ProgressColumn column = buildProgressColumn(
        *boxCleanProcess, {"imgViewCleaning", "lblCleanningForDeceptiveApps", nullptr, "lblObjectCleaned"}, btnStopClean);
    lblCleanningForDeceptiveApps = column.heading;
    progressIndicator = column.bar;
    lblPath = column.path;
    lblObjectCleaned = column.count;
}

void CleanProgressScreen::buildResultBox()
{
    using namespace screenstyle;
    boxCleanResult = makePlainBox(this, "boxCleanResult");
    QFrame* summary = makeCard(boxCleanResult, "cardCleanSummary");
    statusIcon_ = new QLabel(summary);
    statusIcon_->setObjectName("imgViewCleanupStatus");
    statusIcon_->setFixedSize(48, 48);
    lblCleanupStatus = screenstyle::makeLabel(
        summary, "lblCleanupStatus", 20, screenstyle::inkColor, QFont::Bold, screenstyle::LabelWrap::words);
    resultLines_ = new QVBoxLayout;
    resultLines_->setSpacing(4);
    lblReviewRemainingDeceptiveAppItems = screenstyle::makeLabel(summary, "lblReviewRemainingDeceptiveAppItems", 12,
        screenstyle::captionColor, QFont::Normal, screenstyle::LabelWrap::words);
    btnReviewApps = makeFilledButton(summary, "btnReviewApps");
    connect(btnReviewApps, &FlatButton::clicked, this, [this] { clickedReviewApps(); });
    btnHome = makeFilledButton(summary, "btnHome");
    connect(btnHome, &FlatButton::clicked, this, [this] { clickedHome(); });

    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(lblCleanupStatus);
    texts->addLayout(resultLines_);
    texts->addWidget(lblReviewRemainingDeceptiveAppItems);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnReviewApps);
    buttons->addWidget(btnHome);
    buttons->addStretch(1);
    auto* summaryLayout = new QHBoxLayout(summary);
    summaryLayout->setContentsMargins(28, 24, 28, 24);
    summaryLayout->setSpacing(20);
    summaryLayout->addWidget(statusIcon_, 0, Qt::AlignTop);
    summaryLayout->addLayout(texts, 1);
    summaryLayout->addLayout(buttons);

    QFrame* extras = makeCard(boxCleanResult, "cardCleanExtras");
    boxRecommendedApp = new RecommendedAppsPanel(extras);
    connect(boxRecommendedApp->btnDownloadNow, &FlatButton::clicked, this, [this] { clickedDownloadNow(); });
    auto* separator = new QFrame(extras);
    separator->setFixedWidth(1);
    separator->setStyleSheet(QStringLiteral("background: %1;").arg(screenstyle::ruleColor.name()));
    auto* extrasLayout = new QHBoxLayout(extras);
    extrasLayout->setContentsMargins(28, 24, 28, 24);
    extrasLayout->setSpacing(28);
    extrasLayout->addWidget(boxRecommendedApp, 1);
    extrasLayout->addWidget(separator);
    extrasLayout->addWidget(makeSocialLinks());

    auto* layout = new QVBoxLayout(boxCleanResult);
    layout->setContentsMargins(32, 32, 32, 32);
    layout->setSpacing(20);
    layout->addStretch(1);
    layout->addWidget(summary);
    layout->addWidget(extras);
    layout->addStretch(2);
}

QWidget* CleanProgressScreen::makeSocialLinks()
{
    auto* links = new QWidget(boxCleanResult);
    links->setFixedWidth(180);
    lblFollowUs = screenstyle::makeLabel(links, "lblFollowUs", 11, screenstyle::captionColor, QFont::DemiBold);
    auto* layout = new QVBoxLayout(links);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(lblFollowUs);
    layout->addWidget(makeSocialLink(links, btnTwitter, imgViewTwitter, lblTwitter, "Twitter", twitterIconBase64));
    layout->addWidget(makeSocialLink(links, btnFacebook, imgViewFacebook, lblFacebook, "Facebook", facebookIconBase64));
    layout->addStretch(1);
    connect(btnTwitter, &QPushButton::clicked, this, [this] { clickedTwitter(); });
    connect(btnFacebook, &QPushButton::clicked, this, [this] { clickedFacebook(); });
    return links;
}

QLabel* CleanProgressScreen::addResultLine(const char* name)
{
    QLabel* line = screenstyle::makeLabel(
        boxCleanResult, name, 13, screenstyle::inkColor, QFont::Normal, screenstyle::LabelWrap::words);
    resultLines_->addWidget(line);
    return line;
}

void CleanProgressScreen::viewWillAppear()
{
    if (isCleaningProcess)
        boxRecommendedApp->chooseRecommendedApp();
    lblCleanningForDeceptiveApps->setText(screenText(setup_.headingKey));
    progressIndicator->setAccessibleName(lblCleanningForDeceptiveApps->text());
    btnReviewApps->setText(screenText(setup_.reviewTitleKey));
    lblReviewRemainingDeceptiveAppItems->setText(screenText(setup_.reviewInvitationKey));
}

QWidget* CleanProgressScreen::mainControl()
{
    return boxCleanProcess->isHidden() ? wayOut() : btnStopClean;
}

FlatButton* CleanProgressScreen::wayOut() const
{
    return btnReviewApps->isHidden() ? btnHome : btnReviewApps;
}

std::string CleanProgressScreen::itemWord(std::int64_t count)
{
    return localizedText(count == 1 ? "IDS_BGX_44" : "IDS_BGX_43");
}

void CleanProgressScreen::showRunningCount(std::int64_t removed, std::int64_t total)
{
    lblObjectCleaned->setText(
        QString::fromStdString(localizedText(setup_.countWordKey) + " " + std::to_string(removed) + "/" +
                               std::to_string(total)));
}

void CleanProgressScreen::notifyCleanProcess(const platform::Notification& notification)
{
    const auto* total = notification.value<std::int64_t>("totalItems");
    const auto* removed = notification.value<std::int64_t>("pObj");
    const auto* path = notification.value<std::string>("path");
    const auto* percentage = notification.value<double>("percentage");
    if (!total || !removed || !path || !percentage)
        return;
    latest_ = {*total, *removed, QString::fromStdString(*path), *percentage};
    repaint_.changed();
}

void CleanProgressScreen::showLatestProgress()
{
    lblPath->setText(latest_.path);
    screenstyle::setPercentage(*progressIndicator, latest_.percentage);
    showRunningCount(latest_.removed, latest_.total);
}

void CleanProgressScreen::notificationSetView(const platform::Notification& notification)
{
    const auto* menu = notification.value<CleanMenu>(menuKey);
    if (!menu)
        return;
    const bool process = *menu == CleanMenu::process;
    describeOutcome();
    changeShown(*this, {{boxCleanProcess, process}, {boxCleanResult, *menu == CleanMenu::result}},
                process ? btnStopClean : wayOut());
    isCleanInProgress = false;
}

void CleanProgressScreen::resetProgress()
{
    lblPath->clear();
    progressIndicator->setValue(0);
    showRunningCount(0, 0);
}

void CleanProgressScreen::showWayOut(bool nothingRemaining)
{
    FlatButton* const goes = nothingRemaining ? btnReviewApps : btnHome;
    changeShown(*goes,
                {{lblReviewRemainingDeceptiveAppItems, !nothingRemaining}, {btnReviewApps, !nothingRemaining},
                 {btnHome, nothingRemaining}},
                nothingRemaining ? btnHome : btnReviewApps);
}

void CleanProgressScreen::describeOutcome()
{
    QStringList lines{lblCleanupStatus->text()};
    for (int index = 0; index < resultLines_->count(); ++index)
        if (const auto* line = qobject_cast<QLabel*>(resultLines_->itemAt(index)->widget());
            line && !line->isHidden() && !line->text().isEmpty())
            lines << line->text();
    const QString outcome = lines.join('\n');
    btnReviewApps->setAccessibleDescription(outcome);
    btnHome->setAccessibleDescription(outcome);
}

void CleanProgressScreen::showCleanupStatus(bool everythingRemoved)
{
    lblCleanupStatus->setText(screenText(everythingRemoved ? "IDS_BGX_74" : "IDS_BGX_88"));
    setImageNamed(*statusIcon_, everythingRemoved ? "singletick" : "exclamationM");
}

void CleanProgressScreen::clickedStopClean()
{
    *setup_.paused = true;
    const AlertContent question{localizedText("IDS_BGX_220"), localizedText("IDS_BGX_92"),
                                {localizedText("IDS_BGX_56"), localizedText("IDS_BGX_57")}, AlertStyle::warning};
    beginSheet(*this, question, [paused = setup_.paused, aborted = setup_.aborted](int response) {
        if (response == alertFirstButtonReturn)
            *aborted = true;
        *paused = false;
    });
}

void CleanProgressScreen::clickedDownloadNow()
{
    boxRecommendedApp->openRecommendedApp();
}

void CleanProgressScreen::clickedFacebook()
{
    openSocialPage(facebookPageURL());
}

void CleanProgressScreen::clickedTwitter()
{
    openSocialPage(twitterPageURL());
}
