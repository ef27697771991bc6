#pragma once

#include <QWidget>

// The scan container: scan progress, results or clean progress.
class ScanViewController : public QWidget {
public:
    explicit ScanViewController(QWidget* parent = nullptr);
};
