#pragma once

#include "BinaryPlists.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// Entries of a watched folder that no reader may block on or take in whole, each
// named like a plist: a FIFO with no writer, a listening socket, a link to
// /dev/zero, a well-formed 50 MB plist and a 30-level doubling plist (billions of
// values once read). The socket is closed with the object.
class HostileEntries {
public:
    struct Entry {
        std::filesystem::path path;
        std::string refusal; // the end of the line printed when it is skipped
    };

    HostileEntries(const std::filesystem::path& folder, const std::string& prefix)
    {
        std::filesystem::create_directories(folder);
        const auto named = [&](const char* kind) { return folder / (prefix + "." + kind + ".plist"); };
        const std::string notRegular = "is not a regular file";
        ::mkfifo(named("fifo").c_str(), 0644);
        entries_.push_back({named("fifo"), notRegular});
        listen(folder, named("socket").filename().string());
        entries_.push_back({named("socket"), notRegular});
        std::filesystem::create_symlink("/dev/zero", named("zero"));
        entries_.push_back({named("zero"), notRegular});
        writeHugePlist(named("huge"), prefix);
        entries_.push_back({named("huge"), "is larger than " + std::to_string(platform::maximumPropertyListSize) + " bytes"});
        const auto doubling = doublingBinaryPlist(30);
        std::ofstream(named("doubling"), std::ios::binary)
            .write(reinterpret_cast<const char*>(doubling.data()), static_cast<std::streamsize>(doubling.size()));
        const std::string values = std::to_string(platform::maximumPropertyListValues);
        entries_.push_back({named("doubling"), "holds more than " + values + " values once read"});
    }
    ~HostileEntries()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    HostileEntries(const HostileEntries&) = delete;
    HostileEntries& operator=(const HostileEntries&) = delete;

    const std::vector<Entry>& entries() const { return entries_; }

private:
    // Bound through a handle of the folder: a root's paths may be too long for sun_path.
    void listen(const std::filesystem::path& folder, const std::string& name)
    {
        const int handle = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const std::string reachable = "/proc/self/fd/" + std::to_string(handle) + "/" + name;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, reachable.c_str(), sizeof(address.sun_path) - 1);
        socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        (void)::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
        (void)::listen(socket_, 1);
        ::close(handle);
    }

    static void writeHugePlist(const std::filesystem::path& path, const std::string& label)
    {
        std::ofstream plist(path);
        plist << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>Label</key><string>"
              << label << ".huge</string><key>Program</key><string>/bin/true</string><key>Padding</key><string>"
              << std::string(std::size_t{50} << 20, 'A') << "</string></dict></plist>\n";
    }

    std::vector<Entry> entries_;
    int socket_ = -1;
};

} // namespace testsupport
