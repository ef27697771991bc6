#pragma once

#include "BenchRoot.h"
#include "Detection/Scan.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A tree of files over the six scan roots, in the bench root, for the benchmarks
// of the scan: nested folders of 50 files, one bundle to every ten folders.
namespace scantree {

namespace fs = std::filesystem;

constexpr int subFolders = 10;
constexpr int filesPerFolder = 50; // the first folder of each ten holds a bundle of 5 files in place of 5 files
constexpr int filesPerTopFolder = subFolders * filesPerFolder;
constexpr int bundleFiles = 5;

inline void touch(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        std::abort();
    ::close(fd);
}

inline void plantBundle(const fs::path& bundle)
{
    fs::create_directories(bundle / "Contents/MacOS");
    fs::create_directories(bundle / "Contents/Resources");
    for (const char* file : {"Contents/Info.plist", "Contents/MacOS/tool", "Contents/Resources/a",
                             "Contents/Resources/b", "Contents/Resources/c"})
        touch(bundle / file);
}

inline void plantTopFolder(const fs::path& folder)
{
    for (int sub = 0; sub < subFolders; ++sub) {
        const fs::path leaf = folder / ("s" + std::to_string(sub));
        fs::create_directories(leaf);
        const bool withBundle = sub == 0;
        for (int file = 0; file < filesPerFolder - (withBundle ? bundleFiles : 0); ++file)
            touch(leaf / ("f" + std::to_string(file) + ".dat"));
        if (withBundle)
            plantBundle(leaf / "Tool.app");
    }
}

// Grows the tree to `files` files in nested folders spread over the six scan
// roots (the bench root is removed, with the tree, when the benchmarks end).
inline void growTree(int files)
{
    static int topFolders = 0;
    const auto& roots = Scan::shared().quickScanPaths;
    for (const auto& root : roots)
        if (!root.starts_with(benchRoot().string()))
            std::abort(); // never outside the bench's own root
    for (; topFolders < files / filesPerTopFolder; ++topFolders)
        plantTopFolder(fs::path(roots[topFolders % roots.size()]) / ("t" + std::to_string(topFolders)));
}

// The regular files of a tree of `files` files that the walk visits (it passes
// over the files inside bundles).
inline int walkedFiles(int files)
{
    return files / filesPerTopFolder * (filesPerTopFolder - bundleFiles);
}

} // namespace scantree
