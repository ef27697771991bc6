#pragma once

#include <QWidget>

// The Overview screen: protection, definitions and last-scan status.
class OverviewViewController : public QWidget {
public:
    explicit OverviewViewController(QWidget* parent = nullptr);
};
