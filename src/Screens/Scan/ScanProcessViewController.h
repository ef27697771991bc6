#pragma once

#include <QWidget>

// Scan progress.
class ScanProcessViewController : public QWidget {
public:
    explicit ScanProcessViewController(QWidget* parent = nullptr);
};
