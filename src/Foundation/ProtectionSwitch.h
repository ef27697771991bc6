#pragma once

// Whether a protection switch of the suite ("IsActiveProtectionEnabledBGX",
// "IsStartupProtectionEnabledBGX", "IsCrashesProtectionEnabledBGX") is off: only a
// stored Boolean false turns it off; an unavailable suite, an absent key or a value
// of another type leave it on. The agent protects by this rule and the screens show it.
bool isSwitchedOff(const char* switchKey);
