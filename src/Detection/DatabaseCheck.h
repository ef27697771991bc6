#pragma once

#include <string>

// Checks of a signature database file from outside, made on a read-only
// connection of their own; neither creates nor changes the file.

// The six tables, each with the columns a load reads, and at least one record.
bool hasReadableRecords(const std::string& path);

// SQLite's integrity check passes and the records are readable: what a
// downloaded database must show before it replaces the installed one.
bool isSoundSignatureDatabase(const std::string& path);
