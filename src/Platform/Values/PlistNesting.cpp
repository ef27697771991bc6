#include "Platform/Values/PlistNesting.h"

#include "Platform/Values/XmlPlistBody.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>
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

// An object as read from its marker: where a container's references start and how
// many it holds, or the bytes of a text or data object.
struct PlistObject {
    std::uint64_t firstReference = 0;
    std::uint64_t references = 0;
    std::uint64_t contentBytes = 0; // its own, without its children's
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
            trailer.referenceSize > 8 || trailer.topObject >= trailer.objectCount)
            return std::nullopt;
        return trailer;
    }

    // Whether the offset table the trailer claims lies between the header and the trailer.
    bool holdsOffsetTable(const Trailer& trailer) const
    {
        const std::uint64_t end = bytes_.size() - trailerSize;
        return trailer.objectCount <= (end - 8) / trailer.offsetSize && trailer.offsetTable >= 8 &&
               trailer.offsetTable <= end - trailer.objectCount * trailer.offsetSize;
    }

    // Null when unreadable.
    std::optional<PlistObject> object(const Trailer& trailer, std::uint64_t object) const
    {
        const auto offset = number(trailer.offsetTable + object * trailer.offsetSize, trailer.offsetSize);
        if (!offset || *offset >= bytes_.size())
            return std::nullopt;
        const std::uint8_t kind = bytes_[*offset] >> 4;
        const bool container = kind == 0xA || kind == 0xC || kind == 0xD;
        if (!container && kind != 0x4 && kind != 0x5 && kind != 0x6)
            return PlistObject{};
        auto [count, first] = countAt(*offset);
        if (!count)
            return std::nullopt;
        if (!container) { // data, ASCII text, UTF-16 text: the bytes stored
            const std::uint64_t stored = *count > bytes_.size() ? bytes_.size() + 1 : *count * (kind == 0x6 ? 2 : 1);
            if (stored > bytes_.size() - first)
                return std::nullopt;
            return PlistObject{0, 0, stored};
        }
        const std::uint64_t references = kind == 0xD ? *count * 2 : *count;
        if (references > (bytes_.size() - first) / trailer.referenceSize)
            return std::nullopt;
        return PlistObject{first, references, 0};
    }

    // The `index`th object a container refers to; null when unreadable.
    std::optional<std::uint64_t> reference(const Trailer& trailer, const PlistObject& container,
                                           std::uint64_t index) const
    {
        const auto reference =
            number(container.firstReference + index * trailer.referenceSize, trailer.referenceSize);
        if (!reference || *reference >= trailer.objectCount)
            return std::nullopt;
        return reference;
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

// What an object builds when read: itself and a copy of each child, however often
// the child is referred to.
struct Totals {
    std::size_t depth = 1;
    std::uint64_t values = 1;
    std::uint64_t contentBytes = 0;

    // Sums saturate: a list refused for its size may add up past any integer.
    void addChild(const Totals& child)
    {
        depth = std::max(depth, child.depth + 1);
        values = saturatingSum(values, child.values);
        contentBytes = saturatingSum(contentBytes, child.contentBytes);
    }
    static std::uint64_t saturatingSum(std::uint64_t left, std::uint64_t right)
    {
        return right > std::numeric_limits<std::uint64_t>::max() - left ? std::numeric_limits<std::uint64_t>::max()
                                                                         : left + right;
    }
};

PlistFit beyond(const Totals& totals, std::size_t levelsAbove, const PlistBounds& bounds)
{
    if (totals.depth + levelsAbove > bounds.nesting)
        return PlistFit::TooDeep;
    if (totals.values > bounds.values)
        return PlistFit::TooManyValues;
    if (totals.contentBytes > bounds.contentBytes)
        return PlistFit::TooManyBytes;
    return PlistFit::Within;
}

PlistFit binaryFit(const Data& bytes, const PlistBounds& bounds)
{
    const ObjectTable table(bytes);
    const auto trailer = table.trailer();
    if (!trailer)
        return PlistFit::Unreadable;
    // Every object is a value once read: a claim past the bound is refused before
    // anything is allocated for it.
    if (trailer->objectCount > bounds.values)
        return PlistFit::TooManyValues;
    if (!table.holdsOffsetTable(*trailer))
        return PlistFit::Unreadable;
    // Depth-first with an explicit stack; each object's totals are worked out once,
    // so a list that refers to one object from many places costs no more to judge.
    std::vector<Visit> visits(trailer->objectCount, Visit::Unseen);
    std::vector<Totals> totals(trailer->objectCount);
    struct Frame {
        std::uint64_t object;
        PlistObject read;
        std::uint64_t next = 0;
    };
    std::vector<Frame> stack;
    const auto enter = [&](std::uint64_t object) {
        auto found = table.object(*trailer, object);
        if (!found)
            return PlistFit::Unreadable;
        visits[object] = Visit::Open;
        totals[object].contentBytes = found->contentBytes;
        stack.push_back({object, *found});
        return beyond(totals[object], stack.size() - 1, bounds);
    };
    if (const auto fit = enter(trailer->topObject); fit != PlistFit::Within)
        return fit;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.read.references) {
            visits[frame.object] = Visit::Done;
            const Totals& done = totals[frame.object];
            stack.pop_back();
            if (!stack.empty()) {
                Totals& parent = totals[stack.back().object];
                parent.addChild(done);
                if (const auto fit = beyond(parent, stack.size() - 1, bounds); fit != PlistFit::Within)
                    return fit;
            }
            continue;
        }
        const auto reference = table.reference(*trailer, frame.read, frame.next++);
        if (!reference)
            return PlistFit::Unreadable;
        const std::uint64_t child = *reference;
        if (visits[child] == Visit::Open)
            return PlistFit::Unreadable;
        if (visits[child] == Visit::Done) {
            totals[frame.object].addChild(totals[child]);
            if (const auto fit = beyond(totals[frame.object], stack.size() - 1, bounds); fit != PlistFit::Within)
                return fit;
            continue;
        }
        if (const auto fit = enter(child); fit != PlistFit::Within)
            return fit;
    }
    return PlistFit::Within;
}

} // namespace

PlistFitting propertyListFit(const Data& bytes, const PlistBounds& bounds)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("bplist"))
        return {binaryFit(bytes, bounds), {}};
    return xmlPlistFit(text, bounds);
}

} // namespace platform
