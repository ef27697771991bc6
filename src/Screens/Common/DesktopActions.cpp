#include "Screens/Common/DesktopActions.h"

#include "Platform/Workspace/Workspace.h"

#include <QUrl>

#include <filesystem>

namespace {

bool openWithDesktop(const std::string& url)
{
    return platform::Workspace::shared().openURL(url);
}

bool openContainingFolder(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return !folder.empty() && openWithDesktop(QUrl::fromLocalFile(QString::fromStdString(folder)).toString().toStdString());
}

DesktopActions& actions()
{
    static DesktopActions current{openWithDesktop, openContainingFolder};
    return current;
}

} // namespace

void setDesktopActions(DesktopActions replacement)
{
    actions().openURL = replacement.openURL ? std::move(replacement.openURL) : openWithDesktop;
    actions().reveal = replacement.reveal ? std::move(replacement.reveal) : openContainingFolder;
}

bool openURL(const std::string& url)
{
    return actions().openURL(url);
}

bool revealInFileManager(const std::string& path)
{
    return actions().reveal(path);
}
