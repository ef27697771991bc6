#pragma once

#include "Platform/Values/Value.h"

#include <optional>
#include <string>

namespace platform {

// NSBundle over a bundle folder "X.app" with "Contents/Info.plist",
// "Contents/MacOS/<executable>" and "Contents/Resources/".
class Bundle {
public:
    // The bundle that holds the running executable ("X.app/Contents/MacOS/X");
    // when the executable lies in no bundle, a bundle of the executable's folder
    // without Info.plist. Tests point it elsewhere with setMainBundlePath.
    static Bundle& main();
    static void setMainBundlePath(const std::string& bundlePath);
    // The bundle folder of an executable path, as main() finds it.
    static std::string bundlePathOfExecutable(const std::string& executablePath);

    explicit Bundle(std::string bundlePath);

    const std::string& bundlePath() const { return bundlePath_; }
    std::string resourcePath() const;      // bundlePath + "/Contents/Resources"
    std::string executablePath() const;    // from CFBundleExecutable; empty when unknown
    const Dictionary& infoDictionary() const { return info_; }
    std::optional<std::string> bundleIdentifier() const;
    const Value* objectForInfoDictionaryKey(const std::string& key) const;

    // pathForResource:ofType: – the resource file or folder "<name>.<type>" in
    // Resources; null when it does not exist.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;

private:
    std::string bundlePath_;
    Dictionary info_;
};

} // namespace platform
