#include "Platform/Image/Image.h"

#include "Platform/Files/FileRead.h"
#include "Platform/Image/GenericIcons.h"
#include "Platform/Workspace/Workspace.h"

#include <QBuffer>
#include <QImageReader>

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

// The file's bytes, read as every file is (regular files only, bounded). A folder
// (a bundle, say) is no picture: nothing, and nothing said.
QByteArray fileBytes(const std::string& path)
{
    std::error_code error;
    std::vector<std::uint8_t> bytes;
    if (fs::is_directory(path, error) || !readWholeFile(path, bytes))
        return {};
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

std::optional<Image> Image::load(const std::string& path)
{
    QImage bitmap;
    if (!bitmap.loadFromData(fileBytes(path)))
        return std::nullopt;
    return Image(std::move(bitmap));
}

std::optional<Image> Image::thumbnail(const std::string& path, double maxPixelSize)
{
    QByteArray bytes = fileBytes(path);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    const int longest = std::max(size.width(), size.height());
    if (size.isValid() && maxPixelSize >= 1 && longest > maxPixelSize)
        reader.setScaledSize(size.scaled(QSize(int(maxPixelSize), int(maxPixelSize)), Qt::KeepAspectRatio));
    QImage bitmap = reader.read();
    if (bitmap.isNull())
        return std::nullopt;
    return Image(std::move(bitmap));
}

std::optional<Image> Image::iconForFile(const std::string& path)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error || !fs::exists(status))
        return std::nullopt;
    const bool isFolder = fs::is_directory(status);
    // A folder is no picture: only an icon file of its own can be one.
    const std::string iconFile = Workspace::shared().iconForFile(path);
    if (iconFile != path || !isFolder) {
        if (auto image = load(iconFile))
            return image;
    }
    if (isFolder && fs::path(path).extension() == ".app")
        return genericApplicationIcon();
    return Image(drawGenericIcon(isFolder ? GenericIcon::Folder : GenericIcon::Document));
}

Image Image::deferred(std::function<std::optional<Image>()> draw)
{
    Image image;
    image.deferred_ = std::make_shared<Deferred>();
    image.deferred_->draw = std::move(draw);
    return image;
}

const QImage& Image::bitmap() const
{
    if (!deferred_)
        return bitmap_;
    std::call_once(deferred_->drawn, [&state = *deferred_] {
        if (auto image = state.draw())
            state.bitmap = image->bitmap();
        state.draw = nullptr;
    });
    return deferred_->bitmap;
}

Image Image::genericApplicationIcon()
{
    return Image(drawGenericIcon(GenericIcon::Application));
}

} // namespace platform
