#include "Helper/LDLaunchCtl/LDVersionCompare.h"

#include <cctype>
#include <vector>

namespace {

std::vector<std::string> components(const std::string& version)
{
    std::vector<std::string> parts{""};
    for (char c : version) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Numeric string comparison: runs of digits compare by value, other characters as text.
int compareNumerically(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = i, endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            while (i + 1 < endA && a[i] == '0')
                ++i;
            while (j + 1 < endB && b[j] == '0')
                ++j;
            const std::string runA = a.substr(i, endA - i), runB = b.substr(j, endB - j);
            if (runA.size() != runB.size())
                return runA.size() < runB.size() ? -1 : 1;
            if (const int order = runA.compare(runB); order != 0)
                return order < 0 ? -1 : 1;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j] ? -1 : 1;
            ++i;
            ++j;
        }
    }
    return i < a.size() ? 1 : (j < b.size() ? -1 : 0);
}

} // namespace

LDOrdering ld_compareToVersion(const std::string& receiver, const std::string& version)
{
    auto left = components(receiver), right = components(version);
    while (left.size() < right.size())
        left.emplace_back("0");
    while (right.size() < left.size())
        right.emplace_back("0");
    for (std::size_t index = 0; index < left.size(); ++index)
        if (const int order = compareNumerically(left[index], right[index]); order != 0)
            return order < 0 ? LDOrdering::ascending : LDOrdering::descending;
    return LDOrdering::same;
}

bool ld_version_isGreaterThan(const std::string& receiver, const std::string& version)
{
    return ld_compareToVersion(receiver, version) == LDOrdering::descending;
}

bool ld_version_isGreaterThanOrEqualTo(const std::string& receiver, const std::string& version)
{
    return ld_compareToVersion(receiver, version) != LDOrdering::ascending;
}

bool ld_version_isEqualTo(const std::string& receiver, const std::string& version)
{
    return ld_compareToVersion(receiver, version) == LDOrdering::same;
}

bool ld_version_isLessThan(const std::string& receiver, const std::string& version)
{
    return ld_compareToVersion(receiver, version) == LDOrdering::ascending;
}

bool ld_version_isLessThanOrEqualTo(const std::string& receiver, const std::string& version)
{
    return ld_compareToVersion(receiver, version) != LDOrdering::descending;
}
