#include "Platform/Bundle/Bundle.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string runningExecutable()
{
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).string();
}

} // namespace

std::string Bundle::bundlePathOfExecutable(const std::string& executablePath)
{
    const fs::path folder = fs::path(executablePath).parent_path();
    const fs::path contents = folder.parent_path();
    if (folder.filename() == "MacOS" && contents.filename() == "Contents")
        return contents.parent_path().string();
    return folder.string();
}

Bundle& Bundle::main()
{
    // setMainBundlePath assigns into this one object, so references stay valid.
    static Bundle bundle(bundlePathOfExecutable(runningExecutable()));
    return bundle;
}

void Bundle::setMainBundlePath(const std::string& bundlePath)
{
    main() = Bundle(bundlePath);
}

} // namespace platform
