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

// Appends a record unless a stored one is the same item: for login items, the
// same "appUrlPath" and the same "program"; for launch agents, the same "label"
// or the same "plistPath".
void addDisabledLoginItem(const platform::Dictionary& record);
void addDisabledLaunchAgent(const platform::Dictionary& record);

// Drops every stored record that shares the given one's "appUrlPath" or
// "program" (login items), "label" or "plistPath" (launch agents), and writes
// the array back (an empty one when the key was missing).
void removeDisabledLoginItem(const platform::Dictionary& record);
void removeDisabledLaunchAgent(const platform::Dictionary& record);

// True when the stored record shares neither key with the given one. A key
// matches only when both records hold a text under it and the texts are equal.
bool isOtherLoginItemRecord(const platform::Dictionary& stored, const platform::Dictionary& given);
bool isOtherLaunchAgentRecord(const platform::Dictionary& stored, const platform::Dictionary& given);
