#include "Screens/Manage/AboutVC.h"

#include "Controls/BundleVersion.h"
#include "Controls/CustomAnimator.h"
#include "Controls/HandCursorButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Foundation/PageURLs.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Platform/Bundle/Bundle.h"
#include "Screens/Common/DesktopActions.h"
#include "Screens/Manage/ManageLook.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const certificationHomePage = "https://www.certification.example.org";
const char* const certificationDeceptorPage = "https://www.certification.example.org/Home/Deceptor";
const QColor linkColor = QColor::fromRgbF(0.0, 104 / 255.0, 218 / 255.0, 1.0);
const QColor cardColor(250, 250, 250);
const QColor cardText(60, 60, 60);
const QColor cardMutedText(110, 110, 110);

// The link-styled title: the link colour, 15 points, underlined, centred.
void setLinkTitle(QPushButton& button, const std::string& textKey)
{
    button.setText(screenText(textKey));
    QFont font = button.font();
    font.setPointSize(15);
    font.setUnderline(true);
    button.setFont(font);
    button.setFlat(true);
    button.setCursor(Qt::PointingHandCursor);
    button.setStyleSheet(QString("QPushButton { color: %1; background: transparent; border: none; }").arg(linkColor.name()));
}

void openPage(const std::optional<QUrl>& url)
{
    if (url)
        openURL(url->toString().toStdString());
}

// A page made from its text when clicked; a text that makes no address opens nothing.
void openPageText(const char* text)
{
    if (const QUrl url(text, QUrl::StrictMode); url.isValid() && !url.host().isEmpty())
        openURL(url.toString().toStdString());
}

QLabel* cardLabel(QWidget* parent, const QString& name, int size, const QColor& colour, bool bold = false)
{
    QLabel* label = screenstyle::makeLabel(
        parent, name, size, colour, bold ? QFont::Bold : QFont::Normal, screenstyle::LabelWrap::words);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

HyperlinkTextField* pageLink(QWidget* parent, const QString& name, bool HyperlinkTextField::*kind)
{
    auto* link = new HyperlinkTextField(parent);
    link->setObjectName(name);
    link->*kind = true;
    QFont font = link->font();
    font.setPointSize(12);
    link->setFont(font);
    return link;
}

QFrame* separator(QWidget* parent, const QString& name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFixedSize(1, 14);
    manageLook::fillBackground(*line, cardMutedText);
    return line;
}

} // namespace

AboutVC::AboutVC(QWidget* parent) : QWidget(parent)
{
    setObjectName("AboutVC");
    loadView();
    viewDidLoad();
}

void AboutVC::loadView()
{
    auto* card = new QFrame(this);
    card->setObjectName("boxAbout");
    card->setFixedSize(560, 470);
    card->setStyleSheet("QFrame#boxAbout { background: #fafafa; border-radius: 10px; }");
    imgView = new QLabel(card);
    imgView->setFixedSize(88, 88);
    imgView->setAlignment(Qt::AlignCenter);
    const QPixmap icon(QString::fromStdString(platform::Bundle::main().resourcePath() + "/AppIcon.png"));
    if (!icon.isNull())
        imgView->setPixmap(icon.scaled(88, 88, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblTitle = cardLabel(card, "lblTitle", 20, cardText, true);
    lblTPXHelpsYouFind = cardLabel(card, "lblTPXHelpsYouFind", 12, cardMutedText);
    lblVersionCap = cardLabel(card, "lblVersionCap", 12, cardMutedText);
    lblVersion = cardLabel(card, "lblVersion", 12, cardText, true);
    lblCopyright = cardLabel(card, "lblCopyright", 11, cardMutedText);
    lblAllRightsReserved = cardLabel(card, "lblAllRightsReserved", 11, cardMutedText);
    lblEULA = pageLink(card, "lblEULA", &HyperlinkTextField::isEULA);
    lblPrivacyPolicy = pageLink(card, "lblPrivacyPolicy", &HyperlinkTextField::isPrivacyPolicy);
    lblUnInstallInstructions = pageLink(card, "lblUnInstallInstructions", &HyperlinkTextField::isUnInstallInstructions);
    box1Condition = separator(card, "box1Condition");
    box2Condition = separator(card, "box2Condition");
    lblWarningThisComputerProgramIsProtected = cardLabel(card, "lblWarningThisComputerProgramIsProtected", 10, cardMutedText);
    btnDisclaimer = new QPushButton(card);
    btnDisclaimer->setObjectName("btnDisclaimer");
    btnClose = new QPushButton(QString::fromUtf8("\u2715"), card);
    btnClose->setObjectName("btnClose");
    btnClose->setFixedSize(28, 28);
    btnClose->setCursor(Qt::PointingHandCursor);
    btnClose->setStyleSheet("QPushButton { color: #6e6e6e; background: transparent; border: none; font-size: 16px; }");
    connect(btnClose, &QPushButton::clicked, this, [this] { tappedClose(); });
    connect(btnDisclaimer, &QPushButton::clicked, this, [this] { clickedDisclaimer(); });

    auto* version = new QHBoxLayout;
    version->addStretch(1);
    version->addWidget(lblVersionCap);
    version->addWidget(lblVersion);
    version->addStretch(1);
    auto* links = new QHBoxLayout;
    links->setSpacing(12);
    links->addStretch(1);
    links->addWidget(lblEULA);
    links->addWidget(box1Condition);
    links->addWidget(lblPrivacyPolicy);
    links->addWidget(box2Condition);
    links->addWidget(lblUnInstallInstructions);
    links->addStretch(1);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(36, 16, 36, 20);
    column->setSpacing(6);
    column->addWidget(btnClose, 0, Qt::AlignRight);
    column->addWidget(imgView, 0, Qt::AlignHCenter);
    column->addWidget(lblTitle);
    column->addWidget(lblTPXHelpsYouFind);
    column->addLayout(version);
    column->addSpacing(8);
    column->addWidget(lblCopyright);
    column->addWidget(lblAllRightsReserved);
    column->addSpacing(8);
    column->addLayout(links);
    column->addStretch(1);
    column->addWidget(lblWarningThisComputerProgramIsProtected);
    column->addWidget(btnDisclaimer, 0, Qt::AlignHCenter);
    makeDisclaimerBox(card);

    auto* layout = new QGridLayout(this);
    layout->addWidget(card, 0, 0, Qt::AlignCenter);
}

// The disclaimer lies over the card, below its close button, while it is open.
QWidget* AboutVC::makeDisclaimerBox(QWidget* card)
{
    boxDisclaimer = new QFrame(card);
    boxDisclaimer->setObjectName("boxDisclaimer");
    boxDisclaimer->setStyleSheet("QFrame#boxDisclaimer { background: #ffffff; border: 1px solid #d0d0d0; border-radius: 8px; }");
    boxDisclaimer->setGeometry(16, 46, card->width() - 32, card->height() - 58);
    lblFirstLine = cardLabel(boxDisclaimer, "lblFirstLine", 12, cardText);
    lblSecondLine = cardLabel(boxDisclaimer, "lblSecondLine", 12, cardText);
    btnClickHereToLearnMoreAboutAppEsteem = new HandCursorButton(boxDisclaimer);
    btnClickHereToLearnMoreAboutAppEsteem->setObjectName("btnClickHereToLearnMoreAboutAppEsteem");
    btnVisitDeceptorsAndHowToSpotThem = new HandCursorButton(boxDisclaimer);
    btnVisitDeceptorsAndHowToSpotThem->setObjectName("btnVisitDeceptorsAndHowToSpotThem");
    btnCloseDisclaimer = new QPushButton(QString::fromUtf8("\u2715"), boxDisclaimer);
    btnCloseDisclaimer->setObjectName("btnCloseDisclaimer");
    btnCloseDisclaimer->setFixedSize(24, 24);
    btnCloseDisclaimer->setCursor(Qt::PointingHandCursor);
    btnCloseDisclaimer->setStyleSheet("QPushButton { color: #6e6e6e; background: transparent; border: none; }");
    connect(btnCloseDisclaimer, &QPushButton::clicked, this, [this] { clickedCloseDisclaimer(); });
    connect(btnClickHereToLearnMoreAboutAppEsteem, &QPushButton::clicked, this,
            [this] { clickedClickHereToLearnMoreAbout(); });
    connect(btnVisitDeceptorsAndHowToSpotThem, &QPushButton::clicked, this,
            [this] { clickedVisitDeceptorsAndHowToSpotThem(); });
    auto* column = new QVBoxLayout(boxDisclaimer);
    column->setContentsMargins(20, 8, 20, 20);
    column->setSpacing(10);
    column->addWidget(btnCloseDisclaimer, 0, Qt::AlignRight);
    column->addWidget(lblFirstLine);
    column->addWidget(btnClickHereToLearnMoreAboutAppEsteem, 0, Qt::AlignHCenter);
    column->addWidget(lblSecondLine);
    column->addWidget(btnVisitDeceptorsAndHowToSpotThem, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return boxDisclaimer;
}

void AboutVC::viewDidLoad()
{
    const std::pair<QLabel*, const char*> texts[] = {
        {lblTitle, "IDS_BGX_1"},          {lblTPXHelpsYouFind, "IDS_BGX_134"},
        {lblCopyright, "IDS_BGX_135"},    {lblAllRightsReserved, "IDS_BGX_136"},
        {lblUnInstallInstructions, "IDS_BGX_137"}, {lblEULA, "IDS_BGX_138"},
        {lblPrivacyPolicy, "IDS_BGX_139"}, {lblWarningThisComputerProgramIsProtected, "IDS_BGX_140"},
        {lblVersionCap, "IDS_BGX_247"},   {lblFirstLine, "IDS_BGX_194"},
        {lblSecondLine, "IDS_BGX_196"}};
    for (const auto& [label, key] : texts)
        label->setText(screenText(key));
    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver("hyperLinkEULA", [](const auto&) { openPage(eulaURL()); }));
    observers_.push_back(center.addObserver("hyperLinkPrivacyPolicy", [](const auto&) { openPage(privacyPolicyURL()); }));
    observers_.push_back(center.addObserver("hyperLinkUnInstallInstructions",
                                            [](const auto&) { openPage(uninstallInstructionsURL()); }));
    lblVersion->setText(QString::fromStdString(appVersion(platform::Bundle::main()).value_or("")));
    setLinkTitle(*btnDisclaimer, "IDS_BGX_193");
    setLinkTitle(*btnClickHereToLearnMoreAboutAppEsteem, "IDS_BGX_195");
    setLinkTitle(*btnVisitDeceptorsAndHowToSpotThem, "IDS_BGX_197");
    boxDisclaimer->hide();
}

void AboutVC::viewWillAppear()
{
    for (QWidget* shown : std::initializer_list<QWidget*>{lblEULA, lblPrivacyPolicy, lblUnInstallInstructions,
                                                          box1Condition, box2Condition})
        shown->show();
}

void AboutVC::clickedDisclaimer()
{
    boxDisclaimer->show();
    boxDisclaimer->raise();
}

void AboutVC::clickedCloseDisclaimer()
{
    boxDisclaimer->hide();
}

void AboutVC::clickedClickHereToLearnMoreAbout()
{
    openPageText(certificationHomePage);
}

void AboutVC::clickedVisitDeceptorsAndHowToSpotThem()
{
    openPageText(certificationDeceptorPage);
}

// The panel fades out and leaves the window; from the close on, no link reaches it.
void AboutVC::tappedClose()
{
    if (std::exchange(closed_, true))
        return;
    observers_.clear();
    platform::NotificationCenter::defaultCenter().post("closeToExitVC");
    QWidget* from = parentWidget();
    if (CustomAnimator* animator = sharedAnimator(); animator && from) {
        animator->animateDismissal(*this, *from);
        return;
    }
    hide();
    setParent(nullptr);
}

bool AboutVC::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ParentChange && closed_ && !parentWidget() && released)
        std::exchange(released, {})();
    return handled;
}
