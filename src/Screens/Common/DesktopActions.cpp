#include "Screens/Common/DesktopActions.h"

#include "Foundation/TextTable.h"
#include "Platform/Workspace/Workspace.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/MainWindow.h"
#include "Screens/Common/Seam.h"
#include "Screens/Common/TextFormat.h"

#include <QApplication>
#include <QUrl>

#include <filesystem>

namespace {

bool openWithDesktop(const std::string& url)
{
    return platform::Workspace::shared().openURL(url);
}

std::string containingFolder(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

bool openContainingFolder(const std::string& path)
{
    const std::string folder = containingFolder(path);
    return !folder.empty() && openWithDesktop(QUrl::fromLocalFile(QString::fromStdString(folder)).toString().toStdString());
}

using Action = std::function<bool(const std::string&)>;

Seam<Action>& urlOpener()
{
    static Seam<Action> seam(openWithDesktop);
    return seam;
}

Seam<Action>& revealer()
{
    static Seam<Action> seam(openContainingFolder);
    return seam;
}

} // namespace

void setDesktopActions(DesktopActions replacement)
{
    urlOpener().replace(std::move(replacement.openURL));
    revealer().replace(std::move(replacement.reveal));
}

bool openURL(const std::string& url)
{
    return urlOpener().current()(url);
}

// A sheet on the main window (the active one while none is set) that says the
// folder could not be opened.
void sayFolderNotOpened(const std::string& folder)
{
    QWidget* window = registeredMainWindow();
    if (!window)
        window = QApplication::activeWindow();
    if (!window)
        return;
    const AlertContent alert{localizedText("IDS_BGX_224"), formatText(localizedText("IDS_BGX_225"), {folder}),
                             {localizedText("IDS_BGX_170")}};
    beginSheet(*window, alert, [](int) {});
}

bool revealInFileManager(const std::string& path)
{
    if (revealer().current()(path))
        return true;
    sayFolderNotOpened(containingFolder(path));
    return false;
}
