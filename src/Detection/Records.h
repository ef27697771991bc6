#pragma once

#include "Platform/Image/Image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The rows of the signature database as a load produces them. Texts are absent
// where the stored field is empty or cannot be deciphered.

struct Path {
    std::optional<std::string> path;                   // the full path
    std::optional<std::vector<std::string>> subPaths;  // regular files under a folder
};

struct Constant {
    std::int64_t id = 0;
    std::optional<std::string> folderPath;
};

struct HashList {
    std::int64_t id = 0;
    std::int64_t appId = 0;
    std::optional<std::string> md5;
    std::optional<std::string> sha1;
    std::optional<std::string> sha256;
    std::optional<std::string> cert;
};

struct Paths {
    std::int64_t id = 0;
    std::int64_t appId = 0;
    std::int64_t commonFolderId = 0;
    Path path;
    std::optional<std::string> shortPath; // the path text as stored, without its folder
};

struct Publisher {
    std::int64_t id = 0;
    std::int64_t appId = 0;
    std::optional<std::string> publisher;
    std::optional<std::string> version;
    std::optional<std::string> appSource;
};

struct MalwareList {
    std::int64_t id = 0;
    std::optional<std::string> appName;
    std::optional<std::string> sigInfo;
    std::optional<std::string> status;
    std::optional<std::vector<HashList>> hash;
    std::optional<std::vector<Paths>> paths;
    std::optional<std::vector<Publisher>> publisher;
    std::optional<platform::Image> icon;
};
