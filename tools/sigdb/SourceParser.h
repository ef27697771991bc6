#pragma once

#include "SignatureSource.h"

#include <optional>
#include <string>

namespace sigdb {

// Parses the record source text. One entry a line, "keyword: field | field | ...";
// blank lines and lines starting with "#" are skipped:
//   version: 1.0
//   folder: <id> | <folder path>
//   app: <id> | <name> | <signature> | <status>
//   path: <folder id, 0 for none> | <path text>        (of the app above)
//   hash: <md5> | <sha1> | <sha256> | <certificate>    (of the app above)
//   publisher: <name> | <version> | <source>           (of the app above)
// On a fault, gives nothing and sets `error` to "line N: what".
std::optional<SignatureSource> parseSource(const std::string& text, std::string& error);

} // namespace sigdb
