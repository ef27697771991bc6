#pragma once

#include "Platform/Values/Value.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// The largest settings file read: a suite holding a long ignore list runs to
// megabytes, far over the limit of other property lists.
inline constexpr std::size_t maximumSettingsFileSize = std::size_t{32} << 20;

// NSUserDefaults: one domain kept as a property-list file. Every write is a
// read-modify-write of the file under an exclusive lock with an atomic replace,
// so two processes sharing a domain (the application-group suite) never lose
// each other's updates; a read sees the file as the other process last wrote it.
// Files are written as binary property lists (dates keep their fractions of a
// second); XML ones are read too. A file that holds no property list is kept
// aside as "<file>.corrupt" before the first write over it. A file larger than
// maximumSettingsFileSize, or one that cannot be opened or read (another user's,
// or behind a folder that cannot be searched), is left as it is, named on the
// standard error with why: what was read before stays in use, nothing is written
// over it, and it is read once its owner, mode or contents change. A file that is
// read but that this process may not write is never replaced. Each write says
// whether the domain holds the change; a domain that cannot be saved says so
// once, on the standard error. Safe to use from any thread.
class UserDefaults {
public:
    // The standard defaults of this process: "~/Library/Preferences/<domain>.plist",
    // the domain being the main bundle's identifier (the executable's name without one).
    static UserDefaults& standard();

    // initWithSuiteName: "~/Library/Group Containers/<suite>/Library/Preferences/<suite>.plist".
    // Null when the suite's folder is not there and cannot be made: then nothing is stored in it.
    static std::unique_ptr<UserDefaults> suite(const std::string& suiteName);

    // A domain kept in the given host file (its folder is made when missing).
    explicit UserDefaults(std::string plistPath);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    const std::string& plistPath() const { return plistPath_; }

    // objectForKey: / valueForKey:
    std::optional<Value> object(const std::string& key) const;

    // Typed reads: a key that is absent, or holds a value of another type, is missing.
    std::optional<bool> boolean(const std::string& key) const;
    std::optional<std::int64_t> integer(const std::string& key) const;
    std::optional<double> real(const std::string& key) const;   // integer or real
    std::optional<std::string> text(const std::string& key) const;
    std::optional<Date> date(const std::string& key) const;
    std::optional<Array> array(const std::string& key) const;
    std::optional<Dictionary> dictionary(const std::string& key) const;

    // Writes: true when the domain's file holds the change (or held it already).
    bool setBool(const std::string& key, bool value);
    bool setInteger(const std::string& key, std::int64_t value);
    bool setDouble(const std::string& key, double value);
    bool setObject(const std::string& key, const Value& value); // a null value removes the key
    bool removeObject(const std::string& key);

    // One read-modify-write of a key under the file lock: `change` gets the stored
    // value (null when absent) and returns the new one (a null value removes the key).
    bool modifyObject(const std::string& key, const std::function<Value(const Value* stored)>& change);
    // The same for a list: `change` gets the stored entries, of whatever kind (none
    // when the key holds no array), and the entries it leaves are stored.
    bool modifyArray(const std::string& key, const std::function<void(Array& entries)>& change);

    // The whole domain as last written.
    Dictionary dictionaryRepresentation() const;

    // Whether the values are the file's as it stands now: it is absent, or it was read.
    // False while it is refused (see above).
    bool isReadable() const;

private:
    struct Cache;

    // The domain as the file now holds it; call with mutex_ held.
    const Dictionary& current() const;
    // Read-modify-write of the file under the exclusive lock; true when stored.
    bool update(const std::function<void(Dictionary&)>& change);
    // No file to read (none, or a folder in its place): no values; call with mutex_ held.
    const Dictionary& readAsNoFile() const;
    // Refuses a file whose folder cannot be searched, saying so once; call with mutex_ held.
    const Dictionary& refuseUnreachableFile(int error) const;
    // Moves an unreadable file to "<file>.corrupt" (replacing an older one); call
    // with the exclusive file lock held.
    bool keepUnreadableFileAside() const;
    void reportUnsavable();
    // The settings of the open file `fd`, which the cache takes; call with mutex_ held.
    const Dictionary& readFile(int fd) const;
    // The file's settings, or false when it is not to be read (too large, or the read
    // failed); call with mutex_ held and the file's identity in the cache.
    bool readSettings(int fd, std::int64_t size) const;
    // Says that the file is neither read nor written, and why.
    void refuseFile(const std::string& reason) const;

    std::string plistPath_;
    mutable std::mutex mutex_;
    std::unique_ptr<Cache> cache_;
    bool reportedUnsavable_ = false;
};

} // namespace platform
