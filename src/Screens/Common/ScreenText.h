#pragma once

#include <QString>

#include <string>

// The text of a key of the loaded text table, for a label or a button: the empty
// text when there is no table, no such key or the value is not a text.
QString screenText(const std::string& key);
