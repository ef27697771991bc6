#include "Platform/Defaults/UserDefaults.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Defaults/FileLock.h"
#include "Platform/Files/AtomicFile.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <utility>

namespace platform {

namespace {

namespace fs = std::filesystem;

// What tells one version of the file from another. The cache keeps the file it
// read open, so its inode number cannot be reused by a later replacement.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0; // a change of owner or mode too: a file refused may be readable now

    explicit FileIdentity(const struct stat& info)
        : device(info.st_dev), inode(info.st_ino), size(info.st_size),
          modifiedNs(std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec),
          changedNs(std::int64_t{info.st_ctim.tv_sec} * 1000000000 + info.st_ctim.tv_nsec)
    {
    }
    bool operator==(const FileIdentity&) const = default;
};

std::string lockPathOf(const std::string& plistPath) { return plistPath + ".lock"; }

void makeParentFolder(const std::string& path)
{
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
}

std::string executableName()
{
    std::error_code error;
    const auto executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string("unknown") : executable.filename().string();
}

// The standard domain's name: the main bundle's identifier, the executable's name without one.
std::string standardDomain()
{
    return Bundle::main().bundleIdentifier().value_or(executableName());
}

// A folder is there, or may be: one above it cannot be searched.
bool mayBeFolder(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    return errno != ENOENT && errno != ENOTDIR;
}

bool isWritable(const std::string& path)
{
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

template <class Get>
auto typed(const std::optional<Value>& value, Get get) -> std::optional<std::remove_cvref_t<decltype(*get(*value))>>
{
    if (value)
        if (const auto* held = get(*value))
            return *held;
    return std::nullopt;
}

} // namespace

struct UserDefaults::Cache {
    Dictionary values;
    std::optional<FileIdentity> identity; // of the file read; null when there was none
    bool valid = false;
    bool unreadable = false; // a file is there, but holds no property list
    bool refused = false;    // a file is there that is not read nor written: too large, or not to be opened or read
    int unreachableError = 0; // why the file's folder could not be searched, once said
    int fd = -1;

    ~Cache() { adopt(-1); }

    // The file as now judged: read from nothing open, refused or not.
    void settle(std::optional<FileIdentity> file, bool refusedNow)
    {
        adopt(-1);
        identity = file;
        valid = true;
        unreadable = false;
        refused = refusedNow;
    }

    void adopt(int file)
    {
        if (fd >= 0)
            ::close(fd);
        fd = file;
    }
};

UserDefaults& UserDefaults::standard()
{
    static UserDefaults defaults(homeDirectory() + "/Library/Preferences/" + standardDomain() + ".plist");
    return defaults;
}

std::unique_ptr<UserDefaults> UserDefaults::suite(const std::string& suiteName)
{
    if (!isPlainName(suiteName))
        return nullptr;
    const std::string folder = homeDirectory() + "/Library/Group Containers/" + suiteName + "/Library/Preferences";
    auto defaults = std::make_unique<UserDefaults>(folder + "/" + suiteName + ".plist");
    if (mayBeFolder(folder))
        return defaults;
    defaults->reportUnsavable();
    return nullptr;
}

UserDefaults::UserDefaults(std::string plistPath) : plistPath_(std::move(plistPath)), cache_(std::make_unique<Cache>())
{
    makeParentFolder(plistPath_);
}

UserDefaults::~UserDefaults() = default;

const Dictionary& UserDefaults::current() const
{
    struct stat named {};
    if (::stat(plistPath_.c_str(), &named) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return refuseUnreachableFile(errno);
        return readAsNoFile();
    }
    cache_->unreachableError = 0;
    if (cache_->valid && cache_->identity && *cache_->identity == FileIdentity(named))
        return cache_->values; // the file read last, unchanged: nothing opened
    const int fd = openRegularFile(plistPath_);
    const int openError = errno;
    if (fd >= 0)
        return readFile(fd);
    if (openError == ENOENT || openError == ENOTDIR)
        return readAsNoFile(); // removed since it was looked at
    struct stat again {};
    const bool unchanged = ::stat(plistPath_.c_str(), &again) == 0 && FileIdentity(again) == FileIdentity(named);
    if (S_ISREG(named.st_mode) && unchanged) { // there as it was, and not to be opened
        cache_->settle(FileIdentity(named), true);
        refuseFile(std::string("cannot be opened (") + std::strerror(openError) + ")");
        return cache_->values; // those read before
    }
    if (S_ISREG(named.st_mode)) { // replaced again and again while it was opened: read again next time
        cache_->valid = false;
        cache_->refused = true;
        return cache_->values;
    }
    return readAsNoFile(); // no file, but a folder or the like: nothing to read
}

const Dictionary& UserDefaults::readAsNoFile() const
{
    cache_->settle(std::nullopt, false);
    cache_->values.clear();
    return cache_->values;
}

const Dictionary& UserDefaults::refuseUnreachableFile(int error) const
{
    if (std::exchange(cache_->unreachableError, error) != error)
        refuseFile(std::string("cannot be opened (") + std::strerror(error) + ")");
    cache_->settle(std::nullopt, true);
    return cache_->values; // those read before
}

bool UserDefaults::isReadable() const
{
    std::lock_guard guard(mutex_);
    current();
    return !cache_->refused;
}

const Dictionary& UserDefaults::readFile(int fd) const
{
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        cache_->valid = false;
        cache_->refused = true;
        return cache_->values;
    }
    const FileIdentity identity(info);
    if (cache_->valid && cache_->identity == identity) {
        ::close(fd);
        return cache_->values;
    }
    cache_->identity = identity;
    cache_->valid = true;
    cache_->adopt(fd);
    cache_->refused = !readSettings(fd, info.st_size);
    return cache_->values; // when refused, those read before
}

bool UserDefaults::readSettings(int fd, std::int64_t size) const
{
    if (static_cast<std::uintmax_t>(size) > maximumSettingsFileSize) {
        refuseFile("is larger than " + std::to_string(maximumSettingsFileSize) + " bytes");
        return false;
    }
    Data bytes;
    errno = 0;
    if (!readOpenFile(fd, plistPath_, bytes, maximumSettingsFileSize)) {
        if (errno != 0) // else it grew over the limit meanwhile, and the reader said so
            refuseFile(std::string("cannot be read (") + std::strerror(errno) + ")");
        return false;
    }
    std::optional<Value> parsed = parsePropertyList(bytes);
    Dictionary* dictionary = parsed ? parsed->asDictionary() : nullptr;
    cache_->values = dictionary ? std::move(*dictionary) : Dictionary();
    cache_->unreadable = !dictionary && size > 0;
    return true;
}

void UserDefaults::refuseFile(const std::string& reason) const
{
    std::fprintf(stderr, "Settings file %s %s: it is not read, and settings are not saved to it\n", plistPath_.c_str(),
                 reason.c_str());
}

bool UserDefaults::update(const std::function<void(Dictionary&)>& change)
{
    std::lock_guard guard(mutex_);
    makeParentFolder(plistPath_);
    FileLock lock(lockPathOf(plistPath_), FileLock::Mode::Exclusive);
    if (!lock.held()) {
        if (current(); !cache_->refused) // a refused file was said already
            reportUnsavable();
        return false;
    }
    Dictionary values = current();
    if (cache_->refused)
        return false; // said when it was refused
    change(values);
    if (values == cache_->values)
        return true;
    if (cache_->identity && !isWritable(plistPath_)) { // read, but not this process's to write over
        reportUnsavable();
        return false;
    }
    const auto bytes = serializePropertyList(Value(std::move(values)), PropertyListFormat::Binary);
    if (!bytes)
        return false;
    if (bytes->size() > maximumSettingsFileSize) {
        std::fprintf(stderr, "Settings not saved to %s: they would be larger than %zu bytes\n", plistPath_.c_str(),
                     maximumSettingsFileSize);
        return false;
    }
    if (cache_->unreadable && !keepUnreadableFileAside()) {
        reportUnsavable();
        return false;
    }
    cache_->valid = false;
    removeStaleTemporaryFiles(plistPath_); // of writers cut short: every writer holds the lock
    if (writeFileAtomically(plistPath_, *bytes))
        return true;
    reportUnsavable();
    return false;
}

bool UserDefaults::keepUnreadableFileAside() const
{
    const std::string aside = plistPath_ + ".corrupt";
    std::error_code error;
    fs::rename(plistPath_, aside, error);
    if (error)
        return false;
    std::fprintf(stderr, "Settings file %s could not be read: kept it aside as %s\n", plistPath_.c_str(), aside.c_str());
    return true;
}

void UserDefaults::reportUnsavable()
{
    if (!std::exchange(reportedUnsavable_, true))
        std::fprintf(stderr, "Settings cannot be saved to %s\n", plistPath_.c_str());
}

// Reads take no file lock: every write replaces the file whole by a rename, so a
// read sees the file before a write or after it, never a part of one.
std::optional<Value> UserDefaults::object(const std::string& key) const
{
    std::lock_guard guard(mutex_);
    const Dictionary& values = current();
    const auto it = values.find(key);
    return it == values.end() ? std::nullopt : std::optional<Value>(it->second);
}

Dictionary UserDefaults::dictionaryRepresentation() const
{
    std::lock_guard guard(mutex_);
    return current();
}

std::optional<bool> UserDefaults::boolean(const std::string& key) const
{
    return typed(object(key), [](const Value& v) { return v.asBoolean(); });
}

std::optional<std::int64_t> UserDefaults::integer(const std::string& key) const
{
    return typed(object(key), [](const Value& v) { return v.asInteger(); });
}

std::optional<double> UserDefaults::real(const std::string& key) const
{
    const auto value = object(key);
    return value ? value->numberAsDouble() : std::nullopt;
}

std::optional<std::string> UserDefaults::text(const std::string& key) const
{
    return typed(object(key), [](const Value& v) { return v.asText(); });
}

std::optional<Date> UserDefaults::date(const std::string& key) const
{
    return typed(object(key), [](const Value& v) { return v.asDate(); });
}

std::optional<Array> UserDefaults::array(const std::string& key) const
{
    return typed(object(key), [](const Value& v) { return v.asArray(); });
}

std::optional<Dictionary> UserDefaults::dictionary(const std::string& key) const
{
    return typed(object(key), [](const Value& v) { return v.asDictionary(); });
}

bool UserDefaults::setBool(const std::string& key, bool value) { return setObject(key, Value(value)); }

bool UserDefaults::setInteger(const std::string& key, std::int64_t value)
{
    return setObject(key, Value(static_cast<long long>(value)));
}

bool UserDefaults::setDouble(const std::string& key, double value) { return setObject(key, Value(value)); }

bool UserDefaults::setObject(const std::string& key, const Value& value)
{
    return modifyObject(key, [&](const Value*) { return value; });
}

bool UserDefaults::modifyObject(const std::string& key, const std::function<Value(const Value* stored)>& change)
{
    return update([&](Dictionary& values) {
        const auto found = values.find(key);
        Value value = change(found == values.end() ? nullptr : &found->second);
        if (value.isNull())
            values.erase(key);
        else
            values.insert_or_assign(key, std::move(value));
    });
}

bool UserDefaults::modifyArray(const std::string& key, const std::function<void(Array& entries)>& change)
{
    return modifyObject(key, [&](const Value* stored) {
        Array entries = stored && stored->asArray() ? *stored->asArray() : Array{};
        change(entries);
        return Value(std::move(entries));
    });
}

bool UserDefaults::removeObject(const std::string& key) { return setObject(key, Value()); }

} // namespace platform
