#include "Screens/Common/UpdaterWindow.h"

#include "Controls/FlatButton.h"
#include "Foundation/ByteCountFormat.h"
#include "Foundation/TextTable.h"
#include "Platform/Sparkle/SUUpdater.h"
#include "Screens/Common/DialogHeader.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Common/TextFormat.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <utility>

namespace {

constexpr int windowWidth = 460;
constexpr int margin = 24;
constexpr int buttonWidth = 120;
constexpr int buttonHeight = 36;
// The longest version text shown; a feed's longer one is cut.
constexpr qsizetype shownVersionLength = 40;

QString versionText(const platform::SUAppcastItem& item)
{
    const QString version = QString::fromStdString(item.displayVersionString);
    return version.size() > shownVersionLength ? version.left(shownVersionLength) + QChar(0x2026) : version;
}

QLabel* makeTextLabel(QWidget* parent, const char* name, int pointSize, const QColor& colour, QFont::Weight weight)
{
    QLabel* label = screenstyle::makeLabel(parent, name, pointSize, colour, weight, screenstyle::LabelWrap::words);
    label->setTextFormat(Qt::PlainText); // the feed's and the updater's texts are shown as they are
    label->setFixedWidth(windowWidth - 2 * margin);
    return label;
}

} // namespace

UpdaterWindow::UpdaterWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName("updaterWindow");
    setWindowTitle(screenText("IDS_BGX_300"));
    screenstyle::fillBackground(*this, screenstyle::screenColor);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeDialogHeader(this, screenText("IDS_BGX_300")));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(margin, 20, margin, margin);
    body->setSpacing(10);
    lblHeadline = makeTextLabel(this, "lblHeadline", 16, screenstyle::inkColor, QFont::Bold);
    lblDetail = makeTextLabel(this, "lblDetail", 12, screenstyle::captionColor, QFont::Normal);
    lblNote = makeTextLabel(this, "lblNote", 11, screenstyle::systemGrayColor, QFont::Normal);
    progressBar = screenstyle::makeProgressBar(this, "progressBar");
    progressBar->setFixedWidth(windowWidth - 2 * margin);
    for (QWidget* part : std::initializer_list<QWidget*>{lblHeadline, lblDetail, lblNote, progressBar})
        body->addWidget(part);
    body->addSpacing(14);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    btnSecondary = new FlatButton(this);
    screenstyle::styleOutlinedButton(*btnSecondary, "btnSecondary", buttonWidth, buttonHeight);
    btnPrimary = new FlatButton(this);
    screenstyle::styleFilledButton(*btnPrimary, "btnPrimary", buttonWidth, buttonHeight);
    connect(btnSecondary, &FlatButton::clicked, this, [this] { answer(secondary_); });
    connect(btnPrimary, &FlatButton::clicked, this, [this] { answer(primary_); });
    buttons->addStretch(1);
    buttons->addWidget(btnSecondary);
    buttons->addWidget(btnPrimary);
    body->addLayout(buttons);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void UpdaterWindow::showCheckingForUpdates(std::function<void()> cancel)
{
    present({screenText("IDS_BGX_301"), {}, {}, true, screenText("IDS_BGX_307"), std::move(cancel), {}, {}});
    progressBar->setRange(0, 0); // busy until the feed is read
}

void UpdaterWindow::showUpToDate()
{
    present({screenText("IDS_BGX_302"), screenText("IDS_BGX_240"), {}, false, screenText("IDS_BGX_170"), {}, {}, {}});
}

void UpdaterWindow::showUpdateFound(const platform::SUAppcastItem& item, std::function<void(bool install)> reply)
{
    const auto shared = std::make_shared<std::function<void(bool)>>(std::move(reply));
    const QString detail =
        QString::fromStdString(formatText(localizedText("IDS_BGX_304"), {versionText(item).toStdString()}));
    present({screenText("IDS_BGX_303"), detail, {}, false, screenText("IDS_BGX_42"), [shared] { (*shared)(false); },
             screenText("IDS_BGX_305"), [shared] { (*shared)(true); }});
}

void UpdaterWindow::showDownloading(std::uint64_t received, std::uint64_t expected, std::function<void()> cancel)
{
    const QString detail = QString::fromStdString(
        expected == 0 ? formatByteCountDecimal(static_cast<double>(received))
                      : formatText(localizedText("IDS_BGX_309"), {formatByteCountDecimal(static_cast<double>(received)),
                                                                   formatByteCountDecimal(static_cast<double>(expected))}));
    present({screenText("IDS_BGX_306"), detail, {}, true, screenText("IDS_BGX_307"), std::move(cancel), {}, {}});
    if (expected == 0) {
        progressBar->setRange(0, 0);
        return;
    }
    progressBar->setRange(0, 1000);
    screenstyle::setPercentage(*progressBar, 100.0 * std::min<double>(1.0, static_cast<double>(received) / expected));
}

void UpdaterWindow::showReadyToInstallOnQuit(const platform::SUAppcastItem& item)
{
    present({screenText("IDS_BGX_308"), screenText("IDS_BGX_241"), screenText("IDS_BGX_247") + ' ' + versionText(item),
             false, screenText("IDS_BGX_170"), {}, {}, {}});
}

void UpdaterWindow::showUpdaterError(const platform::SUError& error)
{
    const char* detail = error.administratorNeeded ? "IDS_BGX_249" : error.releaseRefused ? "IDS_BGX_248" : "IDS_BGX_242";
    present({screenText(error.releaseRefused ? "IDS_BGX_311" : "IDS_BGX_310"), screenText(detail),
             QString::fromStdString(error.message), false, screenText("IDS_BGX_170"), {}, {}, {}});
}

void UpdaterWindow::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void UpdaterWindow::reject()
{
    answer(secondary_);
}

// A new step comes to the front; the same step again (the download's progress) only
// updates its texts, leaving the keyboard where the user is.
void UpdaterWindow::present(Step step)
{
    const bool newStep = !isVisible() || lblHeadline->text() != step.headline;
    lblHeadline->setText(step.headline);
    lblDetail->setText(step.detail);
    lblDetail->setVisible(!step.detail.isEmpty());
    lblNote->setText(step.note);
    lblNote->setVisible(!step.note.isEmpty());
    progressBar->setVisible(step.progress);
    btnSecondary->setText(step.secondaryTitle);
    btnPrimary->setText(step.primaryTitle);
    btnPrimary->setVisible(!step.primaryTitle.isEmpty());
    secondary_ = std::move(step.secondary);
    primary_ = std::move(step.primary);
    layout()->activate(); // the window fits the new texts
    if (newStep)
        bringToFront();
}

// The window closes first: the answer may show the next step in it.
void UpdaterWindow::answer(std::function<void()>& chosen)
{
    auto taken = std::exchange(chosen, {});
    primary_ = {};
    secondary_ = {};
    hide();
    if (taken)
        taken();
}

void installUpdaterWindows()
{
    // The window ends on the event loop's next turn, and is left alone by an updater
    // that ends as the process exits (its windows are gone with the application object).
    platform::SUUpdater::setUserDriverFactory([] {
        return std::shared_ptr<platform::SUUserDriver>(new UpdaterWindow, [](platform::SUUserDriver* driver) {
            if (QCoreApplication::instance())
                static_cast<UpdaterWindow*>(driver)->deleteLater();
        });
    });
}
