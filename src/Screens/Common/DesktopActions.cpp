#include "Screens/Common/DesktopActions.h"

#include "Platform/Workspace/Workspace.h"
#include "Screens/Common/Seam.h"

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

bool revealInFileManager(const std::string& path)
{
    return revealer().current()(path);
}
