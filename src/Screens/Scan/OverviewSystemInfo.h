#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the Overview's system-information panel shows, read from this computer.

struct OperatingSystemVersion {
    std::int64_t majorVersion = 0;
    std::int64_t minorVersion = 0;
    std::int64_t patchVersion = 0;
};

// The system's name (what the release label shows for a release outside the
// release table), identifier and version, from an os-release file's PRETTY_NAME
// (else NAME), ID and VERSION_ID ("22.04" is 22.4.0; missing parts are 0).
struct OperatingSystem {
    std::string name;
    std::string id;
    OperatingSystemVersion version;
};
OperatingSystem parseOSRelease(std::string_view text);
// This computer's: /etc/os-release, else /usr/lib/os-release; "Linux" and the
// kernel's release when neither names them.
OperatingSystem currentOperatingSystem();

// The release table, by minor version alone: its text key and picture name.
struct OperatingSystemRelease {
    const char* textKey;
    const char* imageName;
};
std::optional<OperatingSystemRelease> releaseForMinorVersion(std::int64_t minorVersion);

// The os-release ID of the system the release table describes.
inline constexpr std::string_view releaseTableSystemId = "macos";
// The table's release for that system alone: another system whose version happens
// to match has none.
std::optional<OperatingSystemRelease> releaseOf(const OperatingSystem& system);

// Installed memory in bytes.
double physicalMemorySize();
// The total size in bytes of the volume holding `path`; nothing when it cannot be read.
std::optional<double> fileSystemSize(const std::string& path);

// The processor and graphics lines from the system profiler's text output.
struct HardwareDescription {
    std::string processor;               // speed, a blank, name (each trimmed)
    std::optional<std::string> graphics; // chipset, a blank, memory; none without a displays report
};
HardwareDescription parseSystemProfilerOutput(const std::string& output);

// How long the Overview waits for the system profiler before it goes on without it.
inline constexpr std::chrono::milliseconds systemProfilerBound{3000};

// "/usr/sbin/system_profiler" "SPHardwareDataType" "SPDisplaysDataType", run within
// `bound`: its output as UTF-8 text, or nothing when it cannot run, gives no text,
// or has not finished in time (it is then killed).
std::optional<std::string> systemProfilerOutput(std::chrono::milliseconds bound = systemProfilerBound);
