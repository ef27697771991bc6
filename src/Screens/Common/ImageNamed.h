#pragma once

#include <QPixmap>

#include <string>

class QLabel;

// An image of the main bundle by name: "singletick.png", or "macosmojave" for
// "macosmojave.png". Empty when the bundle has no such image.
QPixmap imageNamed(const std::string& name);

// Shows the named image in an image view, scaled to fit the view's size, and keeps
// the name in the view's "imageName" property (what a test reads).
void setImageNamed(QLabel& imageView, const std::string& name);
