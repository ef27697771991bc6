#include "Platform/Values/XmlPlistBody.h"

#include "Platform/Values/XmlCharacterReferences.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr std::string_view whitespace = " \t\r\n";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isNameStart(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte == '_' || byte == ':' || byte >= 0x80;
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

class XmlBodyReader {
public:
    XmlBodyReader(std::string_view text, const PlistBounds& bounds) : text_(text), bounds_(bounds) {}

    PlistFitting read()
    {
        if (!skipProlog())
            return {};
        body_.reserve(text_.size());
        do {
            const std::size_t markup = text_.find('<', at_);
            if (markup == std::string_view::npos)
                return {}; // the top element never ends
            if (!appendResolvedCharacterData(text_.substr(at_, markup - at_), characterData_))
                return {};
            at_ = markup;
            if (const PlistFit fit = readMarkup(); fit != PlistFit::Within)
                return {fit, {}};
        } while (!open_.empty());
        return {PlistFit::Within, std::move(body_)};
    }

private:
    bool startsWith(std::string_view prefix) const { return text_.substr(at_, prefix.size()) == prefix; }

    void skipWhitespace()
    {
        at_ = std::min(text_.size(), text_.find_first_not_of(whitespace, at_));
    }

    // Moves past the first `end` after `from`; false when there is none.
    bool skipPast(std::size_t from, std::string_view end)
    {
        const std::size_t found = text_.find(end, from);
        if (found == std::string_view::npos)
            return false;
        at_ = found + end.size();
        return true;
    }

    // Up to the top element's "<".
    bool skipProlog()
    {
        if (startsWith(byteOrderMark))
            at_ = byteOrderMark.size();
        for (;;) {
            skipWhitespace();
            if (startsWith("<?")) {
                if (!skipPast(at_ + 2, "?>"))
                    return false;
            } else if (startsWith("<!--")) {
                if (!skipPast(at_ + 4, "-->"))
                    return false;
            } else if (startsWith("<!DOCTYPE")) {
                const std::size_t end = text_.find('>', at_);
                if (end == std::string_view::npos || text_.substr(at_, end - at_).find('[') != std::string_view::npos)
                    return false;
                at_ = end + 1;
            } else {
                return startsWith("<") && at_ + 1 < text_.size() && isNameStart(text_[at_ + 1]);
            }
        }
    }

    std::string_view readName()
    {
        const std::size_t start = at_;
        if (at_ < text_.size() && isNameStart(text_[at_]))
            while (++at_ < text_.size() && isNameChar(text_[at_])) {
            }
        return text_.substr(start, at_ - start);
    }

    PlistFit readMarkup()
    {
        if (startsWith("<!--"))
            return skipPast(at_ + 4, "-->") ? PlistFit::Within : PlistFit::Unreadable;
        if (startsWith("<?"))
            return skipPast(at_ + 2, "?>") ? PlistFit::Within : PlistFit::Unreadable;
        if (startsWith("<![CDATA["))
            return readCharacterData() ? PlistFit::Within : PlistFit::Unreadable;
        if (startsWith("</"))
            return readEndTag() ? PlistFit::Within : PlistFit::Unreadable;
        return readStartTag();
    }

    bool readCharacterData()
    {
        const std::size_t start = at_ + 9;
        if (!skipPast(start, "]]>"))
            return false;
        characterData_.append(text_.substr(start, at_ - 3 - start));
        return true;
    }

    // Writes the character data read since the last tag: as it stands when it holds
    // no markup character, else as CDATA, split where it holds "]]>". The parser
    // reads CDATA in linear time, and references in time growing with their square.
    void writeCharacterData()
    {
        if (characterData_.find_first_of("&<") == std::string::npos) {
            body_ += characterData_;
        } else {
            body_ += "<![CDATA[";
            std::size_t at = 0;
            for (std::size_t end; (end = characterData_.find("]]>", at)) != std::string::npos; at = end + 2)
                body_.append(characterData_, at, end + 2 - at).append("]]><![CDATA[");
            body_.append(characterData_, at).append("]]>");
        }
        characterData_.clear();
    }

    bool readEndTag()
    {
        at_ += 2;
        const std::string_view name = readName();
        skipWhitespace();
        if (name.empty() || !startsWith(">") || open_.empty() || open_.back() != name)
            return false;
        ++at_;
        open_.pop_back();
        writeCharacterData();
        body_.append("</").append(name).append(">");
        return true;
    }

    // Past the attributes, each a name, "=" and a quoted value; whether the tag
    // closes itself, or null when it does not end.
    std::optional<bool> skipAttributes()
    {
        for (;;) {
            skipWhitespace();
            if (startsWith(">") || startsWith("/>")) {
                const bool closesItself = startsWith("/>");
                at_ += closesItself ? 2 : 1;
                return closesItself;
            }
            if (readName().empty())
                return std::nullopt;
            skipWhitespace();
            if (!startsWith("="))
                return std::nullopt;
            ++at_;
            skipWhitespace();
            if (!startsWith("\"") && !startsWith("'"))
                return std::nullopt;
            if (!skipPast(at_ + 1, text_.substr(at_, 1)))
                return std::nullopt;
        }
    }

    PlistFit readStartTag()
    {
        ++at_;
        const std::string_view name = readName();
        const std::optional<bool> closesItself = name.empty() ? std::nullopt : skipAttributes();
        if (!closesItself)
            return PlistFit::Unreadable;
        if (open_.empty())
            topIsPlist_ = name == "plist";
        const bool isValue = !(open_.empty() && topIsPlist_);
        if (isValue && ++values_ > bounds_.values)
            return PlistFit::TooManyValues;
        if (isValue && open_.size() + (topIsPlist_ ? 0 : 1) > bounds_.nesting)
            return PlistFit::TooDeep;
        writeCharacterData();
        body_.append("<").append(name).append(*closesItself ? "/>" : ">");
        if (!*closesItself)
            open_.push_back(name);
        return PlistFit::Within;
    }

    std::string_view text_;
    const PlistBounds& bounds_;
    std::size_t at_ = 0;
    std::vector<std::string_view> open_; // the elements open, the top one first
    bool topIsPlist_ = false;
    std::uint64_t values_ = 0;
    std::string characterData_; // read since the last tag, its references replaced
    std::string body_;
};

} // namespace

PlistFitting xmlPlistFit(std::string_view text, const PlistBounds& bounds)
{
    if (text.size() > bounds.contentBytes)
        return {PlistFit::TooManyBytes, {}};
    return XmlBodyReader(text, bounds).read();
}

} // namespace platform
