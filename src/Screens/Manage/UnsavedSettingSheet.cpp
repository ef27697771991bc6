#include "Screens/Manage/UnsavedSettingSheet.h"

#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/MainWindow.h"

void showUnsavedSettingSheet(QWidget& view)
{
    const AlertContent alert{localizedText("IDS_BGX_270"), localizedText("IDS_BGX_271"), {localizedText("IDS_BGX_170")}};
    beginSheet(mainWindow(view), alert, [](int) {});
}
