#pragma once

#include "Platform/Values/Value.h"

#include <optional>

namespace screentest {

// While it lives, the loaded text table gives every key "IDS_BGX_<n>" (n from 1 to
// 999) the key itself as its text, so a test sees which key a screen used. The table
// that was loaded before comes back when it ends.
class KeyEchoTextTable {
public:
    KeyEchoTextTable();
    ~KeyEchoTextTable();
    KeyEchoTextTable(const KeyEchoTextTable&) = delete;
    KeyEchoTextTable& operator=(const KeyEchoTextTable&) = delete;

private:
    std::optional<platform::Dictionary> previous_;
};

} // namespace screentest
