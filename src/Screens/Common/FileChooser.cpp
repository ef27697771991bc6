#include "Screens/Common/FileChooser.h"

#include "Screens/Common/DimmedSheet.h"
#include "Screens/Common/FileChooserDialog.h"
#include "Screens/Common/Seam.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <iterator>

namespace {

namespace fs = std::filesystem;

void presentAsFileDialog(QWidget& window, const FileChooserOptions& options, FileChooserCompletion answer)
{
    auto* dialog = new FileChooserDialog(window, options);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, answer = std::move(answer)](int result) {
        std::vector<std::string> paths;
        if (result == QDialog::Accepted)
            for (const QString& path : dialog->selectedFiles())
                paths.push_back(path.toStdString());
        answer(result == QDialog::Accepted ? fileChooserOK : fileChooserCancel, paths);
    });
    dialog->open();
}

Seam<FileChooserPresenter>& presenter()
{
    static Seam<FileChooserPresenter> seam(presentAsFileDialog);
    return seam;
}

} // namespace

bool isFilePackage(const std::string& path)
{
    std::error_code error;
    const fs::path folder = fs::path(path).lexically_normal();
    const fs::path name = folder.has_filename() ? folder.filename() : folder.parent_path().filename();
    return name.extension() == ".app" && fs::is_directory(folder, error);
}

bool canChoose(const std::string& path, const FileChooserOptions& options)
{
    std::error_code error;
    if (!fs::is_directory(path, error))
        return options.canChooseFiles;
    if (!options.treatsFilePackagesAsDirectories && isFilePackage(path))
        return options.canChooseFiles;
    return options.canChooseDirectories;
}

void setFileChooserPresenter(FileChooserPresenter replacement)
{
    presenter().replace(std::move(replacement));
}

void beginFileChooser(QWidget& view, const FileChooserOptions& options, FileChooserCompletion completion)
{
    // The window and the control the chooser came from have the keyboard again once it is gone.
    FileChooserCompletion onlyChosenOnOK = [options, completion = std::move(completion), window = QPointer(view.window()),
                                            focused = QPointer(QApplication::focusWidget())](
                                               int response, const std::vector<std::string>& paths) {
        if (window)
            window->activateWindow();
        if (focused)
            focused->setFocus(Qt::OtherFocusReason);
        std::vector<std::string> chosen;
        if (response == fileChooserOK)
            std::copy_if(paths.begin(), paths.end(), std::back_inserter(chosen),
                         [&](const std::string& path) { return canChoose(path, options); });
        completion(response, chosen);
    };
    presenter().current()(*view.window(), options, dimForSheet(view, std::move(onlyChosenOnOK)));
}
