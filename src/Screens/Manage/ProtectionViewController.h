#pragma once

#include <QWidget>

// The protection switches.
class ProtectionViewController : public QWidget {
public:
    explicit ProtectionViewController(QWidget* parent = nullptr);
};
