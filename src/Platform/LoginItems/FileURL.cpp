#include "Platform/LoginItems/FileURL.h"

#include "Platform/Root/PathText.h"

#include <cctype>
#include <filesystem>

namespace platform {

namespace {

constexpr const char* scheme = "file://";

bool isKeptInPath(unsigned char c)
{
    return std::isalnum(c) || std::string_view("-._~/!$&'()*+,;=:@").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string percentEncode(const std::string& path)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (isKeptInPath(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xF];
        }
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Decodes escapes; null on a malformed escape or a character a URL cannot hold.
std::optional<std::string> percentDecode(const std::string& encoded)
{
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const unsigned char c = encoded[i];
        if (c == '%') {
            if (i + 2 >= encoded.size())
                return std::nullopt;
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c <= ' ' || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^'
                   || c == '`' || c == '{' || c == '|' || c == '}') {
            return std::nullopt;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace

FileURL FileURL::fromPath(const std::string& path)
{
    std::string full = path;
    std::error_code error;
    if (!full.empty() && full.back() != '/' && std::filesystem::is_directory(full, error))
        full += '/';
    return FileURL(scheme + percentEncode(full), withoutTrailingSlashes(full));
}

std::optional<FileURL> FileURL::parse(const std::string& text)
{
    if (text.rfind(scheme, 0) != 0)
        return std::nullopt;
    std::string rest = text.substr(std::string_view(scheme).size());
    if (rest.rfind("localhost/", 0) == 0)
        rest.erase(0, std::string_view("localhost").size());
    const auto query = rest.find_first_of("?#");
    if (rest.empty() || rest.front() != '/' || query != std::string::npos)
        return std::nullopt;
    auto path = percentDecode(rest);
    if (!path)
        return std::nullopt;
    return FileURL(text, withoutTrailingSlashes(*path));
}

std::string FileURL::path() const
{
    return path_;
}

std::string FileURL::lastPathComponent() const
{
    return platform::lastPathComponent(path_);
}

std::string FileURL::pathExtension() const
{
    const std::string last = lastPathComponent();
    const auto dot = last.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : last.substr(dot + 1);
}

std::string lastPathComponent(const std::string& path)
{
    const std::string trimmed = withoutTrailingSlashes(path);
    if (trimmed == "/")
        return trimmed;
    const auto slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

} // namespace platform
