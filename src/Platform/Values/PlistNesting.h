#pragma once

#include "Platform/Values/Value.h"

#include <cstddef>

namespace platform {

// Whether a property list's bytes nest no deeper than `limit` levels, found
// without building the list (the parser and the release of its tree recurse once
// per level). A binary list is read from its object table: a level is a value, and
// a table that cannot be read or a container that holds itself is not within the
// limit. An XML list is read from its array and dict tags (those in comments
// count too), as is any other list that is not binary.
bool propertyListNestingWithin(const Data& bytes, std::size_t limit);

} // namespace platform
