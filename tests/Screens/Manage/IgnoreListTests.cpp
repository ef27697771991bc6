#include "ManageScreenTest.h"
#include "RowTableChrome.h"

#include "Controls/FlatButton.h"
#include "Foundation/Settings.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Manage/IgnoreListViewController.h"
#include "StartupTestWorld.h"

#include <QFileDialog>
#include <QFileSystemModel>

#include <gtest/gtest.h>

#include <filesystem>

namespace K = SettingsKey;

namespace {

using Paths = std::vector<std::string>;

class IgnoreListScreen : public managetest::ManageScreenTest {
protected:
    void store(const Paths& paths) { appGroupDefaults()->setObject(K::ignoreAllPaths, platform::Array(paths.begin(), paths.end())); }

    static Paths stored()
    {
        Paths paths;
        for (const auto& each : appGroupDefaults()->array(K::ignoreAllPaths).value_or(platform::Array{}))
            paths.push_back(*each.asText());
        return paths;
    }

    // Another process of the product (the agent's alert) adds a path to the stored list.
    static void addFromAnotherProcess(const std::string& path)
    {
        auto other = platform::UserDefaults::suite(appGroupSuiteName);
        other->modifyObject(K::ignoreAllPaths, [&](const platform::Value* value) {
            platform::Array paths = value && value->asArray() ? *value->asArray() : platform::Array{};
            paths.push_back(path);
            return platform::Value(paths);
        });
    }

    Paths shownRows() const
    {
        Paths rows;
        for (const IgnoreList& row : screen.allIgnorePaths) {
            EXPECT_TRUE(row.isSelected) << row.path;
            rows.push_back(row.path);
        }
        EXPECT_EQ(screen.tableView->model()->rowCount(), static_cast<int>(rows.size()));
        return rows;
    }

    // A click on the row's tick box, as the user makes it.
    static void tickRow(IgnoreListViewController& shown, int row)
    {
        RowTableView& table = *shown.tableView;
        table.scrollTo(table.model()->index(row, 0));
        const QRect place = table.controlRect(row, 0);
        ASSERT_FALSE(place.isEmpty()) << "row " << row;
        widgettest::click(*table.viewport(), place.center());
    }
    void tickRow(int row) { tickRow(screen, row); }
    bool isRowTicked(int row) const
    {
        return screen.tableView->model()->index(row, 0).data(Qt::CheckStateRole) == Qt::Checked;
    }

    void removeAnswering(int response)
    {
        screen.clickedRemove();
        ASSERT_TRUE(seams.sheetPending());
        seams.answerSheet(response);
    }

    const Paths three{"/Users/a/Downloads/one.dmg", "/Users/a/Desktop/Two.app", "/Users/a/Documents/three"};
    IgnoreListViewController screen;
};

TEST_F(IgnoreListScreen, AClickedRowShowsTheSelectionFillAndTheListTheDarkScroller)
{
    Paths many;
    for (int item = 0; item < 20; ++item)
        many.push_back("/Users/a/Downloads/item " + std::to_string(item) + ".dmg");
    store(many);
    managetest::showInWindow(screen);
    widgettest::expectSelectedRowAndDarkScroller(*screen.tableView, 3, "IgnoreList-SelectedRow");
    EXPECT_TRUE(isRowTicked(3)) << "selecting a row is not ticking it";
}

TEST_F(IgnoreListScreen, RemoveTakesOutTheTickedRowsAfterConfirmation)
{
    store(three);
    screen.viewWillAppear();
    EXPECT_EQ(shownRows(), three);
    EXPECT_TRUE(screen.btnRemove->isEnabled());
    EXPECT_EQ(screen.btnRemove->titleNormalColor(), QColor(Qt::white));

    tickRow(1); // untick the second row
    EXPECT_FALSE(screen.allIgnorePaths[1].isSelected);
    removeAnswering(alertFirstButtonReturn);
    const AlertContent& sheet = seams.sheets.back();
    EXPECT_EQ(sheet.messageText, "IDS_BGX_87");
    EXPECT_EQ(sheet.informativeText, "IDS_BGX_164");
    EXPECT_EQ(sheet.buttons, (std::vector<std::string>{"IDS_BGX_56", "IDS_BGX_57"}));
    EXPECT_EQ(stored(), Paths{three[1]});
    EXPECT_EQ(shownRows(), Paths{three[1]});

    removeAnswering(alertFirstButtonReturn);
    EXPECT_EQ(stored(), Paths{});
    EXPECT_FALSE(screen.btnRemove->isEnabled());
    EXPECT_NE(screen.btnRemove->titleNormalColor(), QColor(Qt::white));
}

// Of a path stored twice, only the ticked row goes.
TEST_F(IgnoreListScreen, RemoveTakesTheTickedCopyOfAPathStoredTwice)
{
    store({three[0], three[1], three[0]});
    managetest::withEnglish([&] {
        IgnoreListViewController shown;
        managetest::showInWindow(shown);
        tickRow(shown, 1);
        tickRow(shown, 2); // only the first copy stays ticked
        widgettest::saveSettledGrab(shown, "IgnoreList-DuplicateOneTicked");
        widgettest::click(*shown.btnRemove);
        ASSERT_TRUE(seams.sheetPending());
        seams.answerSheet(alertFirstButtonReturn);
        EXPECT_EQ(stored(), (Paths{three[1], three[0]}));
        ASSERT_EQ(shown.allIgnorePaths.size(), 2u);
        EXPECT_EQ(shown.allIgnorePaths[1].path, three[0]);
        widgettest::saveSettledGrab(shown, "IgnoreList-DuplicateRemoved");
    });
}

TEST_F(IgnoreListScreen, CancelledRemoveStoresNothingAndTicksEveryRowAgain)
{
    store(three);
    screen.viewWillAppear();
    tickRow(0);
    removeAnswering(alertSecondButtonReturn);
    EXPECT_EQ(stored(), three);
    EXPECT_EQ(shownRows(), three);
    EXPECT_TRUE(isRowTicked(0));
}

TEST_F(IgnoreListScreen, AddStoresEachChosenPathOnceComparedExactly)
{
    store({three[0]});
    screen.viewWillAppear();
    screen.clickedAdd();
    ASSERT_TRUE(seams.chooserPending());
    const FileChooserOptions& options = seams.choosers.back();
    EXPECT_TRUE(options.canChooseFiles);
    EXPECT_FALSE(options.canChooseDirectories);
    EXPECT_TRUE(options.allowsMultipleSelection);
    EXPECT_EQ(options.prompt, "IDS_BGX_119");
    EXPECT_EQ(options.message, "IDS_BGX_165");
    seams.answerChooser(fileChooserOK, {three[0], "/Users/a/x.app", "/Users/a/x.app", "/Users/a/X.app"});
    const Paths expected{three[0], "/Users/a/x.app", "/Users/a/X.app"};
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(shownRows(), expected);
}

TEST_F(IgnoreListScreen, CancelledAddLeavesRowsAndCheckboxesAsTheyWere)
{
    store(three);
    screen.viewWillAppear();
    tickRow(2);
    screen.clickedAdd();
    seams.answerChooser(fileChooserCancel);
    EXPECT_EQ(stored(), three);
    EXPECT_FALSE(screen.allIgnorePaths[2].isSelected);
    EXPECT_FALSE(isRowTicked(2));
}

// With the suite's folder unwritable (as on a full disk) Add and Remove store nothing:
// a sheet says so, and the list shows what is stored.
TEST_F(IgnoreListScreen, AddAndRemoveThatCannotBeStoredShowTheStoredListAndASheet)
{
    store(three);
    const managetest::UnwritableStore unwritable(*appGroupDefaults());
    if (!unwritable.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    managetest::WithoutMainWindow onItsOwn;
    screen.viewWillAppear();
    const auto expectNotSavedSheet = [&] {
        ASSERT_TRUE(seams.sheetPending());
        EXPECT_EQ(seams.sheets.back().messageText, "IDS_BGX_270");
        seams.answerSheet(alertFirstButtonReturn);
        EXPECT_EQ(stored(), three);
        EXPECT_EQ(shownRows(), three);
    };
    screen.clickedAdd();
    seams.answerChooser(fileChooserOK, {"/Users/a/new.app"});
    expectNotSavedSheet();

    tickRow(0);
    removeAnswering(alertFirstButtonReturn);
    expectNotSavedSheet();
    EXPECT_EQ(seams.sheets.size(), 3u); // the confirmation and two sheets that say so

    managetest::withEnglish([&] {
        IgnoreListViewController shown;
        managetest::showInWindow(shown);
        setSheetPresenter({}); // the real sheet, for the grab
        widgettest::click(*shown.btnAdd);
        seams.answerChooser(fileChooserOK, {"/Users/a/new.app"});
        managetest::grabWithSheet(shown, "IgnoreList-NotSaved");
        for (QMessageBox* box : shown.window()->findChildren<QMessageBox*>())
            box->buttons().at(0)->click();
        EXPECT_EQ(shown.allIgnorePaths.size(), three.size());
    });
}

// The chooser opens in the user's home, in the screens' dark look.
TEST_F(IgnoreListScreen, TheChooserOpensInTheUsersHomeInTheDarkLook)
{
    testsupport::plantFile(testsupport::homeFolder() / "Downloads/Keep This Installer.dmg");
    setFileChooserPresenter({}); // the real chooser
    managetest::withEnglish([] {
        IgnoreListViewController shown;
        managetest::showInWindow(shown);
        shown.clickedAdd();
        const auto dialogs = shown.window()->findChildren<QFileDialog*>();
        ASSERT_EQ(dialogs.size(), 1);
        QFileDialog& chooser = *dialogs.front();
        EXPECT_EQ(chooser.directory().absolutePath().toStdString(), testsupport::homeFolder().string());
        EXPECT_TRUE(widgettest::nearColor(chooser.palette().color(QPalette::Window), screenstyle::panelColor));
        chooser.resize(720, 440);
        const auto* files = chooser.findChild<QFileSystemModel*>();
        ASSERT_TRUE(files);
        const QModelIndex home = files->index(chooser.directory().absolutePath());
        EXPECT_TRUE(managetest::waitFor([&] {
            QCoreApplication::processEvents();
            return files->rowCount(home) > 0;
        })) << "the home's folders are listed";
        widgettest::saveGrab(chooser, "IgnoreList-chooser");
        chooser.reject();
    });
    EXPECT_TRUE(stored().empty());
}

// Add and Remove change the list as stored when they write, not the rows shown.
TEST_F(IgnoreListScreen, AnEntryAddedByAnotherProcessMeanwhileIsKept)
{
    store({three[0], three[1]});
    screen.viewWillAppear();
    addFromAnotherProcess("/Users/a/Downloads/from-agent.dmg");

    screen.clickedAdd();
    seams.answerChooser(fileChooserOK, {three[2]});
    EXPECT_EQ(stored(), (Paths{three[0], three[1], "/Users/a/Downloads/from-agent.dmg", three[2]}));

    addFromAnotherProcess("/Users/a/Desktop/later.app");
    for (int row = 1; row < screen.tableView->model()->rowCount(); ++row)
        tickRow(row); // only the first row stays ticked
    removeAnswering(alertFirstButtonReturn);
    EXPECT_EQ(stored(), (Paths{three[1], "/Users/a/Downloads/from-agent.dmg", three[2], "/Users/a/Desktop/later.app"}));
}

// A stored value that is no list shows no rows. In a list, an entry that is no path
// is not shown, and Add and Remove keep it, and every other entry, as stored.
TEST_F(IgnoreListScreen, AnEntryThatIsNoPathIsNotShownAndIsKept)
{
    appGroupDefaults()->setObject(K::ignoreAllPaths, platform::Value("/Users/a/one"));
    screen.viewWillAppear();
    EXPECT_EQ(shownRows(), Paths{});
    EXPECT_FALSE(screen.btnRemove->isEnabled());

    const platform::Value foreign(true);
    appGroupDefaults()->setObject(K::ignoreAllPaths, platform::Array{three[0], foreign, three[1]});
    screen.viewWillAppear();
    EXPECT_EQ(shownRows(), (Paths{three[0], three[1]}));
    screen.clickedAdd();
    seams.answerChooser(fileChooserOK, {three[2]});
    EXPECT_EQ(appGroupDefaults()->object(K::ignoreAllPaths),
              platform::Value(platform::Array{three[0], foreign, three[1], three[2]}));
    EXPECT_EQ(shownRows(), (Paths{three[0], three[1], three[2]}));

    for (int row = 1; row < screen.tableView->model()->rowCount(); ++row)
        tickRow(row); // only the first row stays ticked
    removeAnswering(alertFirstButtonReturn);
    EXPECT_EQ(appGroupDefaults()->object(K::ignoreAllPaths),
              platform::Value(platform::Array{foreign, three[1], three[2]}));
}

// An application is one item of the chooser; a plain folder is never added.
TEST_F(IgnoreListScreen, AnApplicationIsAddedAsOneItemAndAPlainFolderIsNot)
{
    const std::string application = startuptest::plantBundle("/Applications/Photo Organizer.app", "com.example.photo");
    const std::string folder = testsupport::underRoot("/Applications/Tools").string();
    std::filesystem::create_directories(folder);
    managetest::withEnglish([&] {
        IgnoreListViewController shown;
        managetest::showInWindow(shown);
        shown.clickedAdd();
        ASSERT_TRUE(seams.chooserPending());
        EXPECT_FALSE(seams.choosers.back().treatsFilePackagesAsDirectories);
        seams.answerChooser(fileChooserOK, {application, folder});
        EXPECT_EQ(stored(), Paths{application});
        ASSERT_EQ(shown.allIgnorePaths.size(), 1u);
        EXPECT_FALSE(shown.allIgnorePaths[0].icon.isNull());
        widgettest::saveSettledGrab(shown, "IgnoreList-ApplicationAdded");
    });
}

} // namespace
