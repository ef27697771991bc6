#include "Screens/Scan/OverviewSystemInfo.h"

#include "Platform/Files/FileRead.h"
#include "Platform/Tools/ToolPaths.h"

#include <QProcess>

#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <vector>

namespace {

std::string_view trimmed(std::string_view text, std::string_view blanks = " \t")
{
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string unquoted(std::string_view value)
{
    value = trimmed(value, " \t\r");
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// "22.04.1" as numbers; parts that are missing or not numbers are 0.
OperatingSystemVersion parseVersion(std::string_view text)
{
    std::array<std::int64_t, 3> parts{};
    for (std::int64_t& part : parts) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), part);
        if (error != std::errc())
            part = 0;
        const auto dot = text.find('.', static_cast<std::size_t>(end - text.data()));
        if (dot == std::string_view::npos)
            break;
        text.remove_prefix(dot + 1);
    }
    return {parts[0], parts[1], parts[2]};
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// The first line containing `label`, every occurrence of the label removed; empty when none.
std::string labelledValue(std::string_view report, std::string_view label)
{
    for (std::string_view line : lines(report)) {
        if (line.find(label) == std::string_view::npos)
            continue;
        std::string value(line);
        for (auto at = value.find(label); at != std::string::npos; at = value.find(label, at))
            value.erase(at, label.size());
        return value;
    }
    return {};
}

} // namespace

OperatingSystem parseOSRelease(std::string_view text)
{
    std::string name;
    std::string prettyName;
    std::string id;
    std::string versionId;
    for (std::string_view line : lines(text)) {
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string value = unquoted(line.substr(equals + 1));
        if (key == "NAME")
            name = value;
        else if (key == "PRETTY_NAME")
            prettyName = value;
        else if (key == "ID")
            id = value;
        else if (key == "VERSION_ID")
            versionId = value;
    }
    return {prettyName.empty() ? name : prettyName, id, parseVersion(versionId)};
}

OperatingSystem currentOperatingSystem()
{
    std::string release = platform::readTextFile("/etc/os-release").value_or("");
    if (release.empty())
        release = platform::readTextFile("/usr/lib/os-release").value_or("");
    OperatingSystem system = parseOSRelease(release);
    const bool hasVersion = release.find("VERSION_ID=") != std::string::npos;
    utsname kernel{};
    if ((system.name.empty() || !hasVersion) && ::uname(&kernel) == 0) {
        if (system.name.empty())
            system.name = kernel.sysname;
        if (!hasVersion)
            system.version = parseVersion(kernel.release);
    }
    return system;
}

std::optional<OperatingSystemRelease> releaseForMinorVersion(std::int64_t minorVersion)
{
    static constexpr std::array<OperatingSystemRelease, 5> releases{{
        {"IDS_BGX_175", "macos el-capitan"},
        {"IDS_BGX_174", "macos-Sierra"},
        {"IDS_BGX_173", "macos high-sierra"},
        {"IDS_BGX_172", "macosmojave"},
        {"IDS_BGX_171", "macOs Catalina"},
    }};
    if (minorVersion < 11 || minorVersion > 15)
        return std::nullopt;
    return releases[static_cast<std::size_t>(minorVersion - 11)];
}

std::optional<OperatingSystemRelease> releaseOf(const OperatingSystem& system)
{
    if (system.id != releaseTableSystemId)
        return std::nullopt;
    return releaseForMinorVersion(system.version.minorVersion);
}

double physicalMemorySize()
{
    return static_cast<double>(::sysconf(_SC_PHYS_PAGES)) * static_cast<double>(::sysconf(_SC_PAGE_SIZE));
}

std::optional<double> fileSystemSize(const std::string& path)
{
    struct statvfs volume {};
    if (::statvfs(path.c_str(), &volume) != 0)
        return std::nullopt;
    return static_cast<double>(volume.f_blocks) * static_cast<double>(volume.f_frsize);
}

HardwareDescription parseSystemProfilerOutput(const std::string& output)
{
    constexpr std::string_view separator = "Graphics/Displays:";
    const auto split = output.find(separator);
    const std::string_view all(output);
    const std::string_view hardware = all.substr(0, split);
    HardwareDescription description;
    description.processor = std::string(trimmed(labelledValue(hardware, "Processor Speed:"))) + " "
        + std::string(trimmed(labelledValue(hardware, "Processor Name:")));
    if (split != std::string::npos) {
        std::string_view displays = all.substr(split + separator.size());
        displays = displays.substr(0, displays.find(separator));
        description.graphics = std::string(trimmed(labelledValue(displays, "Chipset Model:"))) + " "
            + std::string(trimmed(labelledValue(displays, "VRAM (Dynamic, Max):")));
    }
    return description;
}

std::optional<std::string> systemProfilerOutput(std::chrono::milliseconds bound)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QString::fromStdString(platform::resolveToolPath("/usr/sbin/system_profiler")),
               {"SPHardwareDataType", "SPDisplaysDataType"});
    if (!tool.waitForFinished(static_cast<int>(bound.count()))) {
        tool.kill();
        tool.waitForFinished(-1);
        return std::nullopt;
    }
    const QByteArray output = tool.readAllStandardOutput();
    const QString text = QString::fromUtf8(output);
    if (text.isEmpty() || text.toUtf8() != output)
        return std::nullopt;
    return text.toStdString();
}
