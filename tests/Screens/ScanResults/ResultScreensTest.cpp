#include "ResultScreensTest.h"

#include "Detection/SharedLists.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Platform/Bundle/Bundle.h"
#include "Screens/Common/AppearingScreen.h"
#include "Screens/Common/ScreenContainer.h"

#include <QVBoxLayout>

namespace screentest {

ScanResult resultRow(std::int64_t id, const std::string& title, const std::vector<std::string>& paths)
{
    ScanResult row;
    row.id = id;
    row.isParent = true;
    row.isSelected = true;
    row.title = title;
    row.subTitleLeft = "Threat:";
    row.subTitleRight = "Adware";
    row.company = "Tarn Loop Media";
    row.version = "2.1";
    row.items.emplace();
    for (const auto& path : paths)
        row.items->push_back({path});
    return row;
}

void ResultScreensTest::SetUp()
{
    PlatformRootTest::SetUp();
    platform::Bundle::setMainBundlePath(BG_APP_BUNDLE);
    scanResults().clear();
    // The main window's content area: the window less its sidebar, header and footer.
    window.resize(808, 652);
    content = new QWidget(&window);
    content->setGeometry(window.rect());
    content->setAutoFillBackground(true);
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, QColor(244, 246, 248));
    content->setPalette(palette);
    window.show();
}

void ResultScreensTest::TearDown()
{
    for (QWidget* screen : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        screen->setParent(nullptr); // the screens belong to the tests
    delete dimmingOverlay().data();
    scanResults().clear();
}

void ResultScreensTest::showInWindow(QWidget& screen)
{
    showScreen(*content, screen);
}

void ResultScreensTest::useEnglishTexts()
{
    keyEcho.reset();
    languageTable() = readBundlePlist("English");
}

std::string ResultScreensTest::plantItem(const std::string& homeRelative)
{
    return testsupport::plantFile(testsupport::homeFolder() / homeRelative).string();
}

} // namespace screentest
