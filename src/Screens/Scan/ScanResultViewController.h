#pragma once

#include <QWidget>

// Scan results with their selection.
class ScanResultViewController : public QWidget {
public:
    explicit ScanResultViewController(QWidget* parent = nullptr);
};
