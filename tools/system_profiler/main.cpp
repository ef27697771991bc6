// Stand-in "/usr/sbin/system_profiler": prints the hardware report (SPHardwareDataType)
// and the displays report (SPDisplaysDataType) in the tool's text layout, from
// /proc/cpuinfo, /sys and, when installed, "lspci" (given a short time bound: a
// hanging lspci is killed and the displays report is left without its devices).
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr auto lspciBound = std::chrono::milliseconds(1500);

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::optional<std::string> readFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    return trimmed(line);
}

// The value of the first "<field> : value" line of /proc/cpuinfo.
std::optional<std::string> cpuinfoField(const std::string& field)
{
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);) {
        const auto colon = line.find(':');
        if (colon != std::string::npos && trimmed(line.substr(0, colon)) == field)
            return trimmed(line.substr(colon + 1));
    }
    return std::nullopt;
}

std::string gigahertz(double megahertz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", megahertz / 1000.0);
    std::string value = text;
    value.erase(value.find_last_not_of('0') + 1);
    if (value.back() == '.')
        value.pop_back();
    return value + " GHz";
}

std::optional<std::string> processorSpeed()
{
    double megahertz = 0;
    if (auto kilohertz = readFirstLine("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"))
        megahertz = std::strtod(kilohertz->c_str(), nullptr) / 1000.0;
    else if (auto reported = cpuinfoField("cpu MHz"))
        megahertz = std::strtod(reported->c_str(), nullptr);
    return megahertz > 0 ? std::optional(gigahertz(megahertz)) : std::nullopt;
}

void printHardware()
{
    std::cout << "Hardware:\n\n    Hardware Overview:\n\n";
    if (auto model = readFirstLine("/sys/class/dmi/id/product_name"))
        std::cout << "      Model Name: " << *model << "\n";
    auto name = cpuinfoField("model name");
    if (!name)
        name = cpuinfoField("Model");
    if (name)
        std::cout << "      Processor Name: " << *name << "\n";
    if (auto speed = processorSpeed())
        std::cout << "      Processor Speed: " << *speed << "\n";
    std::cout << "      Total Number of Cores: " << sysconf(_SC_NPROCESSORS_ONLN) << "\n\n";
}

// Reads the child's output until it closes it or the deadline passes.
std::optional<std::string> readUntil(int fd, std::chrono::steady_clock::time_point deadline)
{
    std::string output;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            return std::nullopt;
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0)
            return output;
        output.append(buffer, static_cast<std::size_t>(count));
    }
}

// "lspci -mm" run from PATH within lspciBound; nothing when it is missing, fails or hangs.
std::optional<std::string> lspciOutput()
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execlp("lspci", "lspci", "-mm", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::optional<std::string> output;
    if (child > 0)
        output = readUntil(pipeEnds[0], std::chrono::steady_clock::now() + lspciBound);
    ::close(pipeEnds[0]);
    if (child <= 0)
        return std::nullopt;
    if (!output)
        ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return output && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? output : std::nullopt;
}

// The quoted fields of one "lspci -mm" line: slot, class, vendor, device, ...
std::vector<std::string> quotedFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string slot;
    in >> slot;
    fields.push_back(slot);
    for (std::string field; in >> std::quoted(field);)
        fields.push_back(field);
    return fields;
}

bool isDisplayClass(const std::string& deviceClass)
{
    return deviceClass.find("VGA") != std::string::npos || deviceClass.find("3D controller") != std::string::npos
        || deviceClass.find("Display controller") != std::string::npos;
}

std::optional<std::string> videoMemory()
{
    const auto bytes = readFirstLine("/sys/class/drm/card0/device/mem_info_vram_total");
    if (!bytes)
        return std::nullopt;
    const long long megabytes = std::strtoll(bytes->c_str(), nullptr, 10) / (1024 * 1024);
    return megabytes >= 1024 ? std::to_string(megabytes / 1024) + " GB" : std::to_string(megabytes) + " MB";
}

void printDisplays()
{
    std::cout << "Graphics/Displays:\n\n";
    const auto devices = lspciOutput();
    if (!devices)
        return;
    std::istringstream lines(*devices);
    for (std::string line; std::getline(lines, line);) {
        const auto fields = quotedFields(line);
        if (fields.size() < 4 || !isDisplayClass(fields[1]))
            continue;
        std::cout << "    " << fields[3] << ":\n\n      Chipset Model: " << fields[2] << " " << fields[3] << "\n";
        if (auto memory = videoMemory())
            std::cout << "      VRAM (Dynamic, Max): " << *memory << "\n";
        std::cout << "\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::signal(SIGPIPE, SIG_IGN);
    for (int i = 1; i < argc; ++i) {
        const std::string_view type = argv[i];
        if (type == "SPHardwareDataType")
            printHardware();
        else if (type == "SPDisplaysDataType")
            printDisplays();
    }
    std::cout.flush();
    return 0;
}
