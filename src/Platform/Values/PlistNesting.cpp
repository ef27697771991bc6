#include "Platform/Values/PlistNesting.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t trailerSize = 32;

// The object table's layout, from the trailer at the end of the list.
struct Trailer {
    std::size_t offsetSize = 0;
    std::size_t referenceSize = 0;
    std::uint64_t objectCount = 0;
    std::uint64_t topObject = 0;
    std::uint64_t offsetTable = 0;
};

class ObjectTable {
public:
    explicit ObjectTable(const Data& bytes) : bytes_(bytes) {}

    std::optional<Trailer> trailer() const
    {
        if (bytes_.size() < trailerSize + 8)
            return std::nullopt;
        const std::size_t at = bytes_.size() - trailerSize;
        Trailer trailer{bytes_[at + 6], bytes_[at + 7], *number(at + 8, 8), *number(at + 16, 8), *number(at + 24, 8)};
        if (trailer.offsetSize == 0 || trailer.offsetSize > 8 || trailer.referenceSize == 0 ||
            trailer.referenceSize > 8 || trailer.topObject >= trailer.objectCount ||
            trailer.objectCount > bytes_.size())
            return std::nullopt;
        return trailer;
    }

    // The objects a container refers to; empty for any other object, null when unreadable.
    std::optional<std::vector<std::uint64_t>> children(const Trailer& trailer, std::uint64_t object) const
    {
        const auto offset = number(trailer.offsetTable + object * trailer.offsetSize, trailer.offsetSize);
        if (!offset || *offset >= bytes_.size())
            return std::nullopt;
        const std::uint8_t marker = bytes_[*offset];
        const std::uint8_t kind = marker >> 4;
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return std::vector<std::uint64_t>{};
        auto [count, first] = countAt(*offset);
        if (!count)
            return std::nullopt;
        const std::uint64_t references = kind == 0xD ? *count * 2 : *count;
        if (references > bytes_.size())
            return std::nullopt;
        std::vector<std::uint64_t> found;
        for (std::uint64_t i = 0; i < references; ++i) {
            const auto reference = number(first + i * trailer.referenceSize, trailer.referenceSize);
            if (!reference || *reference >= trailer.objectCount)
                return std::nullopt;
            found.push_back(*reference);
        }
        return found;
    }

private:
    // A big-endian unsigned number of `size` bytes at `at`.
    std::optional<std::uint64_t> number(std::uint64_t at, std::size_t size) const
    {
        if (at > bytes_.size() || size > bytes_.size() - at)
            return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value = (value << 8) | bytes_[at + i];
        return value;
    }

    // A container's element count and where its references start: the marker's low
    // bits, or 15 followed by an integer object.
    std::pair<std::optional<std::uint64_t>, std::uint64_t> countAt(std::uint64_t offset) const
    {
        const std::uint8_t low = bytes_[offset] & 0x0F;
        if (low != 0x0F)
            return {low, offset + 1};
        const auto marker = number(offset + 1, 1);
        if (!marker || (*marker >> 4) != 0x1 || (*marker & 0x0F) > 3)
            return {std::nullopt, 0};
        const std::size_t size = std::size_t{1} << (*marker & 0x0F);
        return {number(offset + 2, size), offset + 2 + size};
    }

    const Data& bytes_;
};

enum class Visit : std::uint8_t { Unseen, Open, Done };

bool binaryNestingWithin(const Data& bytes, std::size_t limit)
{
    const ObjectTable table(bytes);
    const auto trailer = table.trailer();
    if (!trailer)
        return false;
    // Depth-first with an explicit stack; each object's depth is worked out once.
    std::vector<Visit> visits(trailer->objectCount, Visit::Unseen);
    std::vector<std::size_t> depths(trailer->objectCount, 1);
    struct Frame {
        std::uint64_t object;
        std::vector<std::uint64_t> children;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    const auto enter = [&](std::uint64_t object) {
        auto children = table.children(*trailer, object);
        if (!children)
            return false;
        visits[object] = Visit::Open;
        stack.push_back({object, std::move(*children)});
        return stack.size() <= limit;
    };
    if (!enter(trailer->topObject))
        return false;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.children.size()) {
            visits[frame.object] = Visit::Done;
            const std::size_t depth = depths[frame.object];
            stack.pop_back();
            if (!stack.empty())
                depths[stack.back().object] = std::max(depths[stack.back().object], depth + 1);
            continue;
        }
        const std::uint64_t child = frame.children[frame.next++];
        if (visits[child] == Visit::Open)
            return false;
        if (visits[child] == Visit::Done) {
            if (depths[child] + stack.size() > limit)
                return false;
            depths[frame.object] = std::max(depths[frame.object], depths[child] + 1);
            continue;
        }
        if (!enter(child))
            return false;
    }
    return true;
}

bool startsWith(std::string_view text, std::size_t at, std::string_view prefix)
{
    return text.substr(at, prefix.size()) == prefix;
}

// The tag at `at` ("<" then `name`) names exactly `name`.
bool isTag(std::string_view text, std::size_t at, std::string_view name)
{
    if (!startsWith(text, at + 1, name))
        return false;
    const std::size_t end = at + 1 + name.size();
    return end < text.size() && std::string_view(" \t\r\n/>").find(text[end]) != std::string_view::npos;
}

bool xmlNestingWithin(std::string_view text, std::size_t limit)
{
    std::size_t depth = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (isTag(text, at, "/array") || isTag(text, at, "/dict")) {
            depth -= depth > 0 ? 1 : 0;
            continue;
        }
        if (!isTag(text, at, "array") && !isTag(text, at, "dict"))
            continue;
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos)
            return true; // an unclosed tag: the parser refuses it
        if (text[close - 1] != '/' && ++depth > limit)
            return false;
    }
    return true;
}

} // namespace

bool propertyListNestingWithin(const Data& bytes, std::size_t limit)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("bplist"))
        return binaryNestingWithin(bytes, limit);
    return xmlNestingWithin(text, limit);
}

} // namespace platform
