#pragma once

#include "Platform/Values/Value.h"

#include <string>
#include <vector>

// The ignore list "IgnoreAllPathsBGX" of the application-group suite, as the screens
// that show and change it read and write it. An entry that is no text is left out of
// what they show and kept, where it stood, when they change the list. Without the
// suite nothing is read or written.

// The text entries of the list as stored now, in order; none for a value that is not a list.
std::vector<std::string> storedIgnoreListPaths();

// Appends each path the list does not hold yet (exact, case-sensitive), in order,
// in one read-modify-write; the list is written back also when nothing changed.
void addToStoredIgnoreList(const std::vector<std::string>& paths);
// Takes every text entry equal to one of the paths out of the list, in one
// read-modify-write.
void removeFromStoredIgnoreList(const std::vector<std::string>& paths);
