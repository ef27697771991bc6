#pragma once

#include <string>

// Ordering of two version texts ("1.2.10"), as NSComparisonResult.
enum class LDOrdering { ascending = -1, same = 0, descending = 1 };

// Components split at "." (the shorter padded with "0"), compared with numeric
// string comparison; the first pair that differs decides.
LDOrdering ld_compareToVersion(const std::string& receiver, const std::string& version);

bool ld_version_isGreaterThan(const std::string& receiver, const std::string& version);
bool ld_version_isGreaterThanOrEqualTo(const std::string& receiver, const std::string& version);
bool ld_version_isEqualTo(const std::string& receiver, const std::string& version);
bool ld_version_isLessThan(const std::string& receiver, const std::string& version);
bool ld_version_isLessThanOrEqualTo(const std::string& receiver, const std::string& version);
