#pragma once

#include <QImage>

namespace platform {

enum class GenericIcon { Application, Folder, Document };

// A 128 x 128 icon of the kind, drawn without fonts (once; copies share it).
QImage drawGenericIcon(GenericIcon kind);

} // namespace platform
