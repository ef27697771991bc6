#include "Screens/Common/FileChooser.h"

#include "Screens/Common/DimmedSheet.h"
#include "Screens/Common/Seam.h"

#include <QFileDialog>

namespace {

QFileDialog* makeFileDialog(QWidget& window, const FileChooserOptions& options)
{
    auto* dialog = new QFileDialog(&window, QString::fromStdString(options.message));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setLabelText(QFileDialog::Accept, QString::fromStdString(options.prompt));
    if (options.canChooseDirectories && !options.canChooseFiles)
        dialog->setFileMode(QFileDialog::Directory);
    else
        dialog->setFileMode(options.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    QDir::Filters filters = dialog->filter();
    dialog->setFilter(options.showsHiddenFiles ? filters | QDir::Hidden : filters & ~QDir::Hidden);
    return dialog;
}

void presentAsFileDialog(QWidget& window, const FileChooserOptions& options, FileChooserCompletion answer)
{
    QFileDialog* dialog = makeFileDialog(window, options);
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

void setFileChooserPresenter(FileChooserPresenter replacement)
{
    presenter().replace(std::move(replacement));
}

void beginFileChooser(QWidget& view, const FileChooserOptions& options, FileChooserCompletion completion)
{
    FileChooserCompletion onlyChosenOnOK = [completion = std::move(completion)](int response,
                                                                            const std::vector<std::string>& paths) {
        completion(response, response == fileChooserOK ? paths : std::vector<std::string>{});
    };
    presenter().current()(*view.window(), options, dimForSheet(view, std::move(onlyChosenOnOK)));
}
