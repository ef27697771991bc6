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

// A sheet on the main window (the active one while none is set) that says what
// could not be opened: its title key, and the text key that names `what`.
void sayNotOpened(const char* titleKey, const char* textKey, const std::string& what)
{
    QWidget* window = registeredMainWindow();
    if (!window)
        window = QApplication::activeWindow();
    if (!window)
        return;
    const AlertContent alert{localizedText(titleKey), formatText(localizedText(textKey), {what}),
                             {localizedText("IDS_BGX_170")}};
    beginSheet(*window, alert, [](int) {});
}

bool openURL(const std::string& url)
{
    if (urlOpener().current()(url))
        return true;
    sayNotOpened("IDS_BGX_291", "IDS_BGX_292", url);
    return false;
}

bool revealInFileManager(const std::string& path)
{
    if (revealer().current()(path))
        return true;
    sayNotOpened("IDS_BGX_224", "IDS_BGX_225", containingFolder(path));
    return false;
}
