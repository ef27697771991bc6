#pragma once

#include <string>

// Gives each child table of the signature database at `dbPath` (HashList, Paths,
// Publisher) an index on AppId where it has none, so a load looks up each
// record's rows instead of reading the whole table for every record. Changes no
// table or row; a file that is missing, cannot be written or is busy for five
// seconds, and a table that is missing or cannot be indexed, are left as they
// are (the loads read the same rows, only slower).
void addMissingIndexes(const std::string& dbPath);
