#pragma once

#include "BinaryPlists.h"
#include "DeceptiveXmlPlists.h"
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
// /dev/zero, a well-formed 50 MB plist, a 30-level doubling plist (billions of
// values once read), a binary plist whose trailer claims millions of objects, and
// XML plists whose tags hide hundreds of thousands of levels. The socket is closed
// with the object.
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
        const std::string tooManyValues =
            "holds more than " + std::to_string(platform::maximumPropertyListValues) + " values once read";
        write(named("doubling"), doublingBinaryPlist(30));
        entries_.push_back({named("doubling"), tooManyValues});
        const std::size_t size = platform::maximumPropertyListSize;
        write(named("claims"), lyingTrailerBinaryPlist(size, size - 1));
        entries_.push_back({named("claims"), tooManyValues});
        for (const auto& [name, xml] : deceptiveXmlPlists()) {
            std::ofstream(named(name), std::ios::binary) << xml;
            const std::string levels = std::to_string(platform::maximumPropertyListNesting);
            entries_.push_back({named(name), "nests deeper than " + levels + " levels"});
        }
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

    static void write(const std::filesystem::path& path, const Bytes& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
