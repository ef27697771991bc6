#include "ScreenSeams.h"

#include "Controls/CustomAnimator.h"
#include "Foundation/PresentationSlots.h"
#include "WidgetTestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <optional>

namespace {

const AlertContent stopQuestion{"Stop Scan?", "The scan is paused.", {"Yes", "No"}, AlertStyle::warning};

// A shown window whose content a sheet dims.
class SheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        content = new QWidget(&window);
        window.show();
    }
    void TearDown() override { delete dimmingOverlay().data(); }

    QMessageBox* shownBox() const
    {
        const auto boxes = window.findChildren<QMessageBox*>();
        return boxes.isEmpty() ? nullptr : boxes.last();
    }

    QWidget window;
    QWidget* content = nullptr;
    std::optional<int> response;
    bool overlayUpAtAnswer = true;
    SheetCompletion record = [this](int answer) {
        response = answer;
        overlayUpAtAnswer = static_cast<bool>(dimmingOverlay());
    };
};

TEST_F(SheetTest, DimsTheWindowWhileTheSheetWaitsAndAnswersOnce)
{
    screentest::ScreenSeams seams;
    beginSheet(*content, stopQuestion, record);
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheets[0].buttons, stopQuestion.buttons);
    ASSERT_TRUE(dimmingOverlay());
    EXPECT_EQ(dimmingOverlay()->parentWidget(), &window);
    EXPECT_FALSE(response);

    seams.answerSheet(alertSecondButtonReturn);
    EXPECT_EQ(response, alertSecondButtonReturn);
    EXPECT_FALSE(overlayUpAtAnswer) << "the overlay is down before the completion runs";
    EXPECT_FALSE(dimmingOverlay());
}

TEST_F(SheetTest, AnOverlayAlreadyUpIsUsedAndTakenDown)
{
    screentest::ScreenSeams seams;
    QWidget* earlier = &CustomAnimator::putUpDimmingOverlay(*content);
    beginSheet(*content, stopQuestion, record);
    EXPECT_EQ(dimmingOverlay(), earlier);
    EXPECT_EQ(window.findChildren<QWidget*>("dimmingOverlay").size(), 1);
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_EQ(response, alertFirstButtonReturn);
    EXPECT_FALSE(dimmingOverlay());
}

// The real sheet: a window-modal message box whose every way out answers and undims.
TEST_F(SheetTest, MessageBoxAnswersByButtonEscapeAndClose)
{
    const struct {
        const char* way;
        std::function<void(QMessageBox&)> answer;
        int response;
    } ways[] = {
        {"first button", [](QMessageBox& box) { box.buttons().at(0)->click(); }, alertFirstButtonReturn},
        {"second button", [](QMessageBox& box) { box.buttons().at(1)->click(); }, alertSecondButtonReturn},
        {"Escape", [](QMessageBox& box) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&box, &escape);
         }, alertSecondButtonReturn},
        {"close", [](QMessageBox& box) { box.close(); }, alertSecondButtonReturn},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        response.reset();
        beginSheet(*content, stopQuestion, record);
        QMessageBox* box = shownBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->text(), "Stop Scan?");
        EXPECT_EQ(box->informativeText(), "The scan is paused.");
        ASSERT_TRUE(dimmingOverlay());
        way.answer(*box);
        EXPECT_EQ(response, way.response);
        EXPECT_FALSE(dimmingOverlay());
        delete box;
    }
}

// Names in alerts come from definitions, plists and file names: markup in them is text.
TEST_F(SheetTest, AlertTextsAreNeverReadAsMarkup)
{
    const QString name = "<b>Search</b> <a href='https://example.com'>Lens</a>.app";
    const AlertContent alert{name.toStdString(), "\u201c" + name.toStdString() + "\u201d could not be removed.",
                             {"OK"}, AlertStyle::warning};
    beginSheet(*content, alert, record);
    QMessageBox* box = shownBox();
    ASSERT_NE(box, nullptr);
    const auto labels = box->findChildren<QLabel*>();
    int withText = 0;
    for (const QLabel* label : labels) {
        if (label->text().isEmpty())
            continue;
        ++withText;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        EXPECT_TRUE(label->text().contains(name)) << label->text().toStdString();
    }
    EXPECT_EQ(withText, 2);
    widgettest::saveGrab(*box, "alert-markup-in-a-name");
    box->buttons().at(0)->click();
    delete box;
}

TEST(ModalAlert, TheSeamAnswersWithoutAnEventLoop)
{
    screentest::ScreenSeams seams;
    seams.modalResponse = alertFirstButtonReturn;
    EXPECT_EQ(runModalAlert({"No connection", "Connect and try again.", {"OK"}}), alertFirstButtonReturn);
    ASSERT_EQ(seams.modalAlerts.size(), 1u);
    EXPECT_EQ(seams.modalAlerts[0].messageText, "No connection");
    EXPECT_FALSE(dimmingOverlay()) << "a modal alert does not dim";
}

TEST(AlertContent, EscapeAnswersTheSecondButtonOrTheOnlyOne)
{
    EXPECT_EQ(nonConfirmingResponse(stopQuestion), alertSecondButtonReturn);
    EXPECT_EQ(nonConfirmingResponse({"", "", {"OK"}}), alertFirstButtonReturn);
}

TEST_F(SheetTest, FileChooserGivesPathsOnlyOnOKAndAlwaysUndims)
{
    screentest::ScreenSeams seams;
    std::optional<int> chosen;
    std::vector<std::string> paths;
    const auto choose = [&] {
        beginFileChooser(*content, {"Add", "Choose items to ignore", true, false, true},
                         [&](int answer, const std::vector<std::string>& got) {
                             chosen = answer;
                             paths = got;
                         });
    };
    choose();
    ASSERT_EQ(seams.choosers.size(), 1u);
    EXPECT_EQ(seams.choosers[0].prompt, "Add");
    EXPECT_TRUE(dimmingOverlay());
    seams.answerChooser(fileChooserOK, {"/a", "/b"});
    EXPECT_EQ(chosen, fileChooserOK);
    EXPECT_EQ(paths, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_FALSE(dimmingOverlay());

    choose();
    seams.answerChooser(fileChooserCancel, {"/ignored"});
    EXPECT_EQ(chosen, fileChooserCancel);
    EXPECT_TRUE(paths.empty());
    EXPECT_FALSE(dimmingOverlay());
}

TEST_F(SheetTest, FileDialogEscapeCancels)
{
    std::optional<int> chosen;
    beginFileChooser(*content, {"Add", "Choose", true, false, true},
                     [&](int answer, const std::vector<std::string>&) { chosen = answer; });
    const auto dialogs = window.findChildren<QFileDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0]->fileMode(), QFileDialog::ExistingFiles);
    dialogs[0]->reject();
    EXPECT_EQ(chosen, fileChooserCancel);
    EXPECT_FALSE(dimmingOverlay());
    delete dialogs[0];
}

// An application bundle is one item, chosen and never entered; a plain folder is
// entered and never chosen.
TEST_F(SheetTest, TheFileDialogChoosesAnApplicationAsOneItemAndEntersAPlainFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("Photo Organizer.app/Contents/MacOS"));
    ASSERT_TRUE(QDir(root.path()).mkpath("Tools/Sync.app/Contents"));
    std::optional<int> chosen;
    std::vector<std::string> paths;
    const auto choose = [&] {
        chosen.reset();
        beginFileChooser(*content, {"Add", "Choose", true, false, true}, [&](int answer, const std::vector<std::string>& got) {
            chosen = answer;
            paths = got;
        });
        QFileDialog* dialog = window.findChildren<QFileDialog*>().last();
        dialog->setDirectory(root.path());
        return dialog;
    };

    QFileDialog* dialog = choose();
    dialog->selectFile(root.filePath("Tools"));
    QMetaObject::invokeMethod(dialog, "accept");
    EXPECT_FALSE(chosen) << "a plain folder is not chosen";
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(root.filePath("Tools")).absolutePath());
    auto* listView = dialog->findChild<QListView*>("listView");
    auto* files = dialog->findChild<QFileSystemModel*>();
    ASSERT_TRUE(listView && files);
    emit listView->activated(files->index(root.filePath("Tools/Sync.app"))); // a double click
    EXPECT_EQ(chosen, fileChooserOK);
    EXPECT_EQ(paths, std::vector<std::string>{root.filePath("Tools/Sync.app").toStdString()});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    dialog = choose();
    dialog->selectFile(root.filePath("Photo Organizer.app"));
    QMetaObject::invokeMethod(dialog, "accept");
    EXPECT_EQ(chosen, fileChooserOK);
    EXPECT_EQ(paths, std::vector<std::string>{root.filePath("Photo Organizer.app").toStdString()});
    EXPECT_FALSE(dimmingOverlay());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(DesktopActions, TheSeamRecordsWhatWouldBeOpened)
{
    screentest::ScreenSeams seams;
    EXPECT_TRUE(openURL("https://www.example.com/help"));
    EXPECT_TRUE(revealInFileManager("/Applications/Some.app"));
    EXPECT_EQ(seams.openedURLs, std::vector<std::string>{"https://www.example.com/help"});
    EXPECT_EQ(seams.revealedPaths, std::vector<std::string>{"/Applications/Some.app"});
}

} // namespace
