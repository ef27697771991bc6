#include "Agent/ItemPresence.h"

#include <filesystem>

bool isItemAt(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}
