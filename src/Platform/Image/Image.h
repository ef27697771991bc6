#pragma once

#include <QImage>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// NSImage as the programs use it: a bitmap that may be empty. No display needed.
class Image {
public:
    Image() = default; // an empty image
    explicit Image(QImage bitmap) : bitmap_(std::move(bitmap)) {}

    // The image in a file; null when the file is no image Qt can read.
    static std::optional<Image> load(const std::string& path);

    // The first image of the file scaled down so its longer side is at most
    // `maxPixelSize` (never up), with the file's orientation not applied; null when unreadable.
    static std::optional<Image> thumbnail(const std::string& path, double maxPixelSize);

    // The icon an item shows: the workspace's icon file for it (a bundle's icon
    // resource, or the item itself) when Qt can read it, else a generic icon for
    // its kind (application bundle, folder, document). Null when the item does not exist.
    static std::optional<Image> iconForFile(const std::string& path);

    // The generic icon of an application.
    static Image genericApplicationIcon();

    // An image drawn by `draw` when it is first used, once for every copy of it
    // (empty when `draw` gives none): items found by the thousand pay for their
    // pictures only when they are shown.
    static Image deferred(std::function<std::optional<Image>()> draw);

    bool isEmpty() const { return bitmap().isNull(); }
    int width() const { return bitmap().width(); }
    int height() const { return bitmap().height(); }
    const QImage& bitmap() const;

private:
    struct Deferred {
        std::once_flag drawn;
        std::function<std::optional<Image>()> draw;
        QImage bitmap;
    };

    QImage bitmap_;
    std::shared_ptr<Deferred> deferred_;
};

} // namespace platform
