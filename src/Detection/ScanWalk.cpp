#include "Detection/Scan.h"

#include "Detection/ScanProgress.h"
#include "Platform/FileManager/DirectoryEnumerator.h"
#include "Platform/Workspace/Workspace.h"

#include <memory>

namespace {

// Visits every entry of one root: a pause point and a stop test before each,
// regular files handed to `onFile` (relative to the root), packages not entered,
// links and other entries passed over. A root that cannot be listed has no entries.
template <class OnFile>
void walkRoot(Scan& scan, const std::string& root, OnFile&& onFile)
{
    auto enumerator = platform::DirectoryEnumerator::make(root);
    if (!enumerator)
        return;
    while (const std::string* entry = enumerator->nextObject()) {
        waitWhilePaused(scan.isPaused);
        if (scan.isAborted)
            return;
        switch (enumerator->fileType()) {
        case platform::FileType::Regular:
            onFile(*entry);
            break;
        case platform::FileType::Directory:
            if (platform::Workspace::shared().isFilePackage(root + "/" + *entry))
                enumerator->skipDescendants();
            break;
        default:
            break;
        }
    }
}

} // namespace

std::int64_t Scan::countFiles(const std::string& atPath)
{
    std::int64_t count = 0;
    walkRoot(*this, atPath, [&](const std::string& entry) {
        ++count;
        progressHandOver_.hand([entry] { postScanProgress(0, entry, 0, 0.0); });
    });
    return count;
}

void Scan::countFiles()
{
    // Read by the queued posts when they run, so a post may show a count ahead of its share.
    const auto scanned = std::make_shared<std::atomic<std::int64_t>>(0);
    std::int64_t total = 0;
    for (const auto& root : quickScanPaths) {
        total += countFiles(root);
        if (isAborted)
            break;
    }
    for (const auto& root : quickScanPaths) {
        walkRoot(*this, root, [&](const std::string& entry) {
            const double share = progressShare(++*scanned, total);
            const bool withFound = share >= 50.0;
            progressHandOver_.hand([this, scanned, entry, share, withFound] {
                postScanProgress(withFound ? pIndex.load() : 0, entry, scanned->load(), share);
            });
        });
        waitWhilePaused(isPaused);
        if (isAborted)
            break;
    }
    postCompletion();
}
