#pragma once

#include "TestRoot.h"

#include <filesystem>
#include <string>

namespace jobplists {

// Writes the job plist of JobPlists/ with that name into the folder and returns
// its host path. "@ROOT@" in a fixture stands for the platform root folder, so
// the programs it names are looked for inside the test's root.
inline std::filesystem::path plant(const std::string& name, const std::filesystem::path& folder)
{
    std::string text = testsupport::readFileText(std::filesystem::path(BG_JOB_PLISTS_DIR) / name);
    const std::string marker = "@ROOT@";
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
        text.replace(at, marker.size(), testsupport::platformRootFolder().string());
    return testsupport::plantFile(folder / name, text);
}

} // namespace jobplists
