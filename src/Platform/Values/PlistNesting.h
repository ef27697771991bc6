#pragma once

#include "Platform/Values/Value.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// What reading a property list may build: the levels values nest to (the top value
// is level 1), the values it holds once every reference is copied out (dictionary
// keys count too), and the bytes of text and data they hold together.
struct PlistBounds {
    std::size_t nesting = 0;
    std::uint64_t values = 0;
    std::uint64_t contentBytes = 0;
};

enum class PlistFit : std::uint8_t { Within, Unreadable, TooDeep, TooManyValues, TooManyBytes };

// Whether a list fits, and what the parser is to read of it: an XML list's body
// written anew (see XmlPlistBody.h), empty for a binary list, read as it stands.
struct PlistFitting {
    PlistFit fit = PlistFit::Unreadable;
    std::string xmlBody;
};

// Whether a property list's bytes stay within `bounds` once read, found without
// building the list, in time linear in its size and in memory bounded by `bounds`
// (the parser and the release of its tree recurse once per level, and copy a binary
// list's value anew for every reference to it). A binary list is read from its
// object table, each object's totals worked out once: a table that cannot be read
// or a container that holds itself is Unreadable, and one that claims more objects
// than `bounds.values` is refused before any of them is read. An XML list (as is
// any list that is not binary) holds no references: its values are its elements,
// its levels those of its elements, and its text and data no more than its bytes.
PlistFitting propertyListFit(const Data& bytes, const PlistBounds& bounds);

} // namespace platform
