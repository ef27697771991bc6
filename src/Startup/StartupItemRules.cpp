#include "Startup/StartupItemRules.h"

#include "Foundation/FileUtilities.h"
#include "Platform/Image/GenericIcons.h"

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

std::optional<std::string> applicationPathOfProgram(const std::string& program)
{
    const auto cut = program.find(".app/Contents");
    if (cut == std::string::npos)
        return std::nullopt;
    return program.substr(0, cut) + ".app";
}

ApplicationDetails applicationDetails(const platform::FileURL& appUrl)
{
    ApplicationDetails details;
    std::error_code error;
    if (!fs::is_directory(appUrl.path(), error))
        return details;
    details.bundle.emplace(appUrl.path());
    details.bundleName = platform::lastPathComponent(details.bundle->bundlePath());
    if (const auto identifier = details.bundle->bundleIdentifier()) {
        const auto first = identifier->find('.');
        if (first != std::string::npos) {
            const auto second = identifier->find('.', first + 1);
            details.company = identifier->substr(first + 1, second == std::string::npos ? std::string::npos
                                                                                       : second - first - 1);
        }
    }
    return details;
}

void finishApplication(const std::optional<platform::FileURL>& appUrl, std::optional<platform::Image>& icon,
                       bool& isInvalid)
{
    if (!appUrl) {
        isInvalid = true;
        return;
    }
    std::error_code error;
    icon = getFileIcon(appUrl->path());
    isInvalid = !fs::exists(appUrl->path(), error);
}

platform::Image genericIcon(const std::string& forFile)
{
    return platform::Image(platform::drawGenericIcon(forFile == "app" ? platform::GenericIcon::Application
                                                                       : platform::GenericIcon::Document));
}

std::int64_t integerValueOfText(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        if (value > (INT64_MAX - digit) / 10)
            return negative ? INT64_MIN : INT64_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

namespace {

const platform::Value* entry(const platform::Dictionary& dictionary, const std::string& key)
{
    const auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &it->second;
}

} // namespace

std::optional<std::string> textEntry(const platform::Dictionary& dictionary, const std::string& key)
{
    const auto* value = entry(dictionary, key);
    return value && value->asText() ? std::optional(*value->asText()) : std::nullopt;
}

std::optional<std::int64_t> integerEntry(const platform::Dictionary& dictionary, const std::string& key)
{
    const auto* value = entry(dictionary, key);
    if (value && value->asInteger())
        return *value->asInteger();
    if (value && value->asBoolean())
        return *value->asBoolean() ? 1 : 0;
    return std::nullopt;
}

std::optional<bool> booleanEntry(const platform::Dictionary& dictionary, const std::string& key)
{
    const auto* value = entry(dictionary, key);
    if (value && value->asBoolean())
        return *value->asBoolean();
    if (value && value->asInteger() && (*value->asInteger() == 0 || *value->asInteger() == 1))
        return *value->asInteger() == 1;
    return std::nullopt;
}

std::optional<platform::Array> arrayEntry(const platform::Dictionary& dictionary, const std::string& key)
{
    const auto* value = entry(dictionary, key);
    return value && value->asArray() ? std::optional(*value->asArray()) : std::nullopt;
}
