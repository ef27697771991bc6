#include "Screens/Common/ImageNamed.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Files/FileRead.h"

#include <QLabel>

QPixmap imageNamed(const std::string& name)
{
    const bool hasType = name.ends_with(".png");
    const std::string stem = hasType ? name.substr(0, name.size() - 4) : name;
    const auto path = platform::Bundle::main().pathForResource(stem, "png");
    std::vector<std::uint8_t> bytes;
    QPixmap image;
    if (path && platform::readWholeFile(*path, bytes))
        image.loadFromData(bytes.data(), static_cast<uint>(bytes.size()));
    return image;
}

void setImageNamed(QLabel& imageView, const std::string& name)
{
    imageView.setProperty("imageName", QString::fromStdString(name));
    const QPixmap image = imageNamed(name);
    const QSize size = imageView.size().isEmpty() ? image.size() : imageView.size();
    imageView.setPixmap(image.isNull() ? image : image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
