#pragma once

#include "Platform/Values/PlistNesting.h"

#include <string_view>

namespace platform {

// Reads an XML list as lenient loaders do and gives its body as the parser is to
// read it. The prolog is skipped: a byte-order mark, the XML declaration and other
// processing instructions, comments, and a DOCTYPE up to its first ">" (one with an
// internal subset, which could declare entities, is Unreadable). The body is then
// written anew from its elements alone: comments and processing instructions
// dropped, character data with its references replaced (as CDATA where it holds
// "&" or "<"), tags without their attributes, and nothing after the top element.
// The parser so sees no markup but the elements counted here (levels and values
// exactly as it builds them) and no reference, which it decodes in time growing
// with their square. Elements that do not nest, a tag that does not close, a body
// that does not end, or a "&" that starts no reference are Unreadable.
PlistFitting xmlPlistFit(std::string_view text, const PlistBounds& bounds);

} // namespace platform
