#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace testsupport {

// While the object lives the calling thread obeys file permissions as a user does:
// root's thread loses CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH from its effective
// set (they come back at the end), so a file of mode 0000 cannot be opened, as
// another user's 0600 file cannot by the user. isSet() is false where that cannot be had.
class FilePermissionsObeyed {
public:
    FilePermissionsObeyed()
    {
        if (::geteuid() != 0) {
            set_ = true; // a user's process obeys them already
            return;
        }
        if (!capabilities(SYS_capget, saved_))
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        set_ = restore_ = capabilities(SYS_capset, lowered);
    }
    FilePermissionsObeyed(const FilePermissionsObeyed&) = delete;
    FilePermissionsObeyed& operator=(const FilePermissionsObeyed&) = delete;
    ~FilePermissionsObeyed()
    {
        if (restore_)
            capabilities(SYS_capset, saved_);
    }
    bool isSet() const { return set_; }

private:
    static bool capabilities(long call, __user_cap_data_struct (&data)[2])
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0}; // 0: this thread
        return ::syscall(call, &header, data) == 0;
    }

    __user_cap_data_struct saved_[2] {};
    bool set_ = false;
    bool restore_ = false;
};

// A file that nobody but root's override may open (mode 0000), as a settings file
// left by a run with sudo is to its user, until the object ends.
class UnopenableFile {
public:
    explicit UnopenableFile(std::filesystem::path file) : file_(std::move(file))
    {
        std::error_code error;
        before_ = std::filesystem::status(file_, error).permissions();
        std::filesystem::permissions(file_, std::filesystem::perms::none, error);
    }
    UnopenableFile(const UnopenableFile&) = delete;
    UnopenableFile& operator=(const UnopenableFile&) = delete;
    ~UnopenableFile() { readable(); }
    // Gives the file its mode back.
    void readable()
    {
        std::error_code ignored;
        std::filesystem::permissions(file_, before_, ignored);
    }

private:
    std::filesystem::path file_;
    std::filesystem::perms before_ = std::filesystem::perms::none;
};

} // namespace testsupport
