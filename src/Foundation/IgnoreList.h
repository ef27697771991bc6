#pragma once

#include "Platform/Values/Value.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// The ignore list "IgnoreAllPathsBGX" of the application-group suite: the paths the
// user keeps. Its text entries are the list; an entry of another kind is left out of
// what is read and kept, where it stood, when the list is changed. Without the suite
// nothing is read or written.

// The paths on the list, with the one rule that everything honouring the list follows:
// an entry covers its own path and every path below it. Paths are compared by their
// components as written: case-sensitive, Unicode texts equal under canonical
// equivalence, a trailing "/" or "." component aside. An empty entry covers nothing.
class IgnoredPaths {
public:
    IgnoredPaths() = default;
    explicit IgnoredPaths(const std::vector<std::string>& entries);

    // The list as stored now.
    static IgnoredPaths stored();

    // Whether an entry is `path` or a folder above it.
    bool covers(const std::string& path) const;
    // Whether removing `path` would remove a path the user keeps: an entry covers it,
    // or it is a folder above an entry.
    bool keepsAnythingAt(const std::string& path) const;

private:
    std::vector<std::filesystem::path> entries_;
};

// Whether the list as stored now is known: the suite's file is absent or was read.
// False while that file is refused (another user's, say): then what the list keeps
// is not known. True without the suite, which then holds nothing.
bool isStoredIgnoreListReadable();

// The text entries of the list as stored now, in order (duplicates included); none for
// a value that is not a list.
std::vector<std::string> storedIgnoreListPaths();

// Appends each path the list does not hold yet (exact, case-sensitive), in order,
// in one read-modify-write; the list is written back also when nothing changed.
// True when the suite holds the change (false without the suite).
bool addToStoredIgnoreList(const std::vector<std::string>& paths);

// One text entry as storedIgnoreListPaths() gave it: its position there and its path.
struct StoredIgnoreListEntry {
    std::size_t position = 0;
    std::string path;
};

// Takes exactly those entries out of the list, in one read-modify-write. An entry is
// taken only where the list still holds that path at that position, so a list
// changed since it was read loses nothing else. True when the suite holds the change.
bool removeFromStoredIgnoreList(const std::vector<StoredIgnoreListEntry>& entries);
