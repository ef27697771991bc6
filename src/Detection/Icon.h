#pragma once

#include <string>

// The image that a record or a result row shows. A stand-in that names the image's
// file until the platform image type is available; only this alias changes then.
struct IconImage {
    std::string filePath;
};

using Icon = IconImage;
