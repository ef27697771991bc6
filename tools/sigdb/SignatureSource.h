#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sigdb {

// The readable form of a signature database: plain texts, enciphered when written.

struct SourceFolder {
    std::int64_t id = 0;
    std::string folderPath; // "%@" stands for the login name
};

struct SourcePath {
    std::int64_t commonFolderId = 0; // 0: the path text is the whole path
    std::string path;
};

struct SourceHash {
    std::string md5, sha1, sha256, cert;
};

struct SourcePublisher {
    std::string publisher, version, appSource;
};

struct SourceApp {
    std::int64_t id = 0;
    std::string appName, sigInfo, status;
    std::vector<SourcePath> paths;
    std::vector<SourceHash> hashes;
    std::vector<SourcePublisher> publishers;
};

struct SignatureSource {
    std::vector<std::string> versions;
    std::vector<SourceFolder> folders;
    std::vector<SourceApp> apps;
};

} // namespace sigdb
