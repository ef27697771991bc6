#pragma once

#include <QWidget>

// The About panel.
class AboutVC : public QWidget {
public:
    explicit AboutVC(QWidget* parent = nullptr);
};
