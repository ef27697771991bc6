#pragma once

#include <string>

// The installed signature database "BGX.db" of the support folder.

// Puts the database shipped in the application bundle in place when none is
// installed (creating the folder). Failures are dropped; the copy appears whole,
// so a reader never sees a half-copied file.
void ensureInstalledDatabaseExists();

// Replaces the installed database by the file at `newDatabase` in one rename (same
// file system); true only when the installed file was replaced.
bool replaceInstalledDatabase(const std::string& newDatabase);
