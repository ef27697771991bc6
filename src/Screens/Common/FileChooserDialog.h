#pragma once

#include "Screens/Common/FileChooser.h"

#include <QFileDialog>

#include <memory>

class QFileIconProvider;

// The file dialog behind the chooser: an application bundle is listed with a file's
// icon and kind and chosen as one item (choosing it from inside, by a double click,
// chooses the bundle), a folder it cannot choose is entered, and the choosing button
// accepts only a selection that can be chosen. Deletes itself when closed.
class FileChooserDialog : public QFileDialog {
public:
    FileChooserDialog(QWidget& window, const FileChooserOptions& options);
    ~FileChooserDialog() override;

    void accept() override;

private:
    void chooseEnteredPackage(const QString& path);
    void enterFolder(const QString& path);

    FileChooserOptions options_;
    std::unique_ptr<QFileIconProvider> icons_;
};
