#include "Screens/Common/FileChooserDialog.h"

#include "Foundation/UserPaths.h"
#include "Screens/Common/ScreenStyle.h"

#include <QFileIconProvider>
#include <QLineEdit>

#include <algorithm>

namespace {

// Shows an application bundle as the one item it is.
class PackageIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override
    {
        return isPackage(info) ? QFileIconProvider::icon(QFileIconProvider::File) : QFileIconProvider::icon(info);
    }

    QString type(const QFileInfo& info) const override
    {
        return isPackage(info) ? QStringLiteral("Application") : QFileIconProvider::type(info);
    }

private:
    static bool isPackage(const QFileInfo& info) { return isFilePackage(info.filePath().toStdString()); }
};

QFileDialog::FileMode fileModeFor(const FileChooserOptions& options)
{
    if (options.canChooseDirectories && !options.canChooseFiles)
        return QFileDialog::Directory;
    return options.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile;
}

} // namespace

FileChooserDialog::FileChooserDialog(QWidget& window, const FileChooserOptions& options)
    : QFileDialog(&window, QString::fromStdString(options.message)), options_(options)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setOption(QFileDialog::DontUseNativeDialog);
    setPalette(screenstyle::screenPalette());
    setDirectory(QString::fromStdString(userPath(""))); // the user's home
    setLabelText(QFileDialog::Accept, QString::fromStdString(options.prompt));
    setFileMode(fileModeFor(options));
    const QDir::Filters filters = filter();
    setFilter(options.showsHiddenFiles ? filters | QDir::Hidden : filters & ~QDir::Hidden);
    if (!options.treatsFilePackagesAsDirectories) {
        icons_ = std::make_unique<PackageIconProvider>();
        setIconProvider(icons_.get());
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& path) { chooseEnteredPackage(path); });
    }
}

FileChooserDialog::~FileChooserDialog() = default;

void FileChooserDialog::accept()
{
    const QStringList selected = selectedFiles();
    const auto choosable = [this](const QString& path) {
        return QFileInfo::exists(path) && canChoose(path.toStdString(), options_);
    };
    if (selected.size() == 1 && QFileInfo(selected.front()).isDir() && !choosable(selected.front())) {
        enterFolder(selected.front());
        return;
    }
    if (!selected.isEmpty() && std::all_of(selected.begin(), selected.end(), choosable))
        QDialog::accept();
}

// A bundle is not a folder to look into: entering one chooses it.
void FileChooserDialog::chooseEnteredPackage(const QString& path)
{
    if (!isFilePackage(path.toStdString()))
        return;
    selectFile(path);
    accept();
}

void FileChooserDialog::enterFolder(const QString& path)
{
    setDirectory(path);
    if (auto* typed = findChild<QLineEdit*>("fileNameEdit"))
        typed->clear();
}
