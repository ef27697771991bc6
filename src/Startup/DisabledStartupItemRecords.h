#pragma once

#include "Foundation/Settings.h"
#include "Platform/Values/Value.h"

#include <vector>

// The records of the startup items that the user switched off, kept as arrays of
// dictionaries in the standard defaults ("LoginItemsUDBG" and "LaunchAgentsUDBG").
// Every read-change-write of an array runs under one process-wide lock, so the
// loaders on background queues and the screen on the main thread never lose
// each other's changes.

inline constexpr const char* kLoginItemsUD = SettingsKey::loginItemsUD;
inline constexpr const char* kLaunchAgentsUD = SettingsKey::launchAgentsUD;

// The stored records; empty when the key is missing or holds no array. An entry
// that is not a dictionary is passed over here, and kept as it is by every change.
std::vector<platform::Dictionary> disabledLoginItems();
std::vector<platform::Dictionary> disabledLaunchAgents();

// Every change below says whether the standard defaults hold it.

// Appends a record unless a stored one is the same item: for login items, the
// same "appUrlPath" and the same "program"; for launch agents, the same "label"
// or the same "plistPath".
bool addDisabledLoginItem(const platform::Dictionary& record);
bool addDisabledLaunchAgent(const platform::Dictionary& record);

// Drops every stored record of the same item as the given one, and writes the array
// back (an empty one when the key was missing): for a login item's job (a record
// with a "program"), the jobs of the same "label" or "program"; for a session entry,
// the entries of the same "appUrlPath"; for launch agents, the same "label" or
// "plistPath".
bool removeDisabledLoginItem(const platform::Dictionary& record);
bool removeDisabledLaunchAgent(const platform::Dictionary& record);

// Takes back a record just added for an item that then could not be switched off:
// drops the last stored record equal to it in every key, and no other.
bool takeBackDisabledLoginItem(const platform::Dictionary& record);
bool takeBackDisabledLaunchAgent(const platform::Dictionary& record);

// True when the stored record is not one a drop of the given one takes. A key
// matches only when both records hold a text under it and the texts are equal.
bool isOtherLoginItemRecord(const platform::Dictionary& stored, const platform::Dictionary& given);
bool isOtherLaunchAgentRecord(const platform::Dictionary& stored, const platform::Dictionary& given);
