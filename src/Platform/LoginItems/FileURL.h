#pragma once

#include <optional>
#include <string>

namespace platform {

// A "file://" URL (NSURL for a file). Two URLs are equal when their texts are:
// "file:///A.app" and "file:///A.app/" differ.
class FileURL {
public:
    // fileURLWithPath: percent-encodes the path; a path naming an existing
    // folder gets a trailing "/".
    static FileURL fromPath(const std::string& path);
    // URLWithString: null unless the text is a well-formed file URL
    // ("file://" or "file://localhost", an absolute path, no blanks, valid escapes).
    static std::optional<FileURL> parse(const std::string& text);

    const std::string& absoluteString() const { return text_; }
    // The decoded path, without a trailing "/" (except for "/" itself).
    std::string path() const;
    std::string lastPathComponent() const;
    // The last component's extension ("app" for "Tool.app"), empty when none.
    std::string pathExtension() const;

    friend bool operator==(const FileURL&, const FileURL&) = default;

private:
    explicit FileURL(std::string text, std::string path) : text_(std::move(text)), path_(std::move(path)) {}
    std::string text_;
    std::string path_;
};

// The last component of a path ("/A/B.app/" gives "B.app").
std::string lastPathComponent(const std::string& path);

} // namespace platform
