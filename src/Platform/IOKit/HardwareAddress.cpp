#include "Platform/IOKit/HardwareAddress.h"

#include "Platform/Files/FileRead.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace platform::iokit {

namespace {

constexpr int loopbackType = 772; // ARPHRD_LOOPBACK

std::string firstLine(const fs::path& path)
{
    const auto text = readTextFile(path.string()).value_or("");
    return text.substr(0, text.find('\n'));
}

// The interface that carries the default route (destination 0.0.0.0); empty when none does.
std::string defaultRouteInterface(const std::string& routeTable)
{
    std::istringstream table(readTextFile(routeTable).value_or(""));
    std::string line;
    std::getline(table, line); // column titles
    while (std::getline(table, line)) {
        std::istringstream columns(line);
        std::string name;
        std::string destination;
        if (columns >> name >> destination && destination == "00000000")
            return name;
    }
    return {};
}

std::vector<std::string> interfacesInOrder(const std::string& folder, const std::string& routeTable)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    const std::string preferred = defaultRouteInterface(routeTable);
    const auto found = std::find(names.begin(), names.end(), preferred);
    if (found != names.end())
        std::rotate(names.begin(), found, found + 1);
    return names;
}

std::optional<HardwareAddress> parseAddress(const std::string& text)
{
    HardwareAddress address{};
    unsigned bytes[6];
    char extra;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &bytes[0], &bytes[1], &bytes[2], &bytes[3],
                    &bytes[4], &bytes[5], &extra) != 6)
        return std::nullopt;
    std::copy(std::begin(bytes), std::end(bytes), address.begin());
    if (std::all_of(address.begin(), address.end(), [](std::uint8_t byte) { return byte == 0; }))
        return std::nullopt;
    return address;
}

} // namespace

std::optional<HardwareAddress> primaryHardwareAddress(const std::string& interfacesFolder,
                                                      const std::string& routeTable)
{
    for (const auto& name : interfacesInOrder(interfacesFolder, routeTable)) {
        const fs::path interface = fs::path(interfacesFolder) / name;
        if (firstLine(interface / "type") == std::to_string(loopbackType))
            continue;
        if (auto address = parseAddress(firstLine(interface / "address")))
            return address;
    }
    return std::nullopt;
}

} // namespace platform::iokit
