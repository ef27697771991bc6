#pragma once

#include <string>

// The installed signature database "BGX.db" of the support folder.

// Puts the database shipped in the application bundle in place when none is
// installed (creating the folder). Failures are dropped; the copy appears whole,
// so a reader never sees a half-copied file.
void ensureInstalledDatabaseExists();

// Puts the shipped database in place of an installed one whose records cannot be
// read (checked again under the update lock, so a running update finishes first);
// true when the installed database's records are readable afterwards.
bool ensureInstalledDatabaseReadable();

// Replaces the installed database by the file at `newDatabase` in one rename (same
// file system), only when that file is a plain file and a sound signature database;
// true only when the installed file was replaced.
bool replaceInstalledDatabase(const std::string& newDatabase);
