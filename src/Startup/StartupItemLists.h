#pragma once

#include <algorithm>
#include <vector>

// The records of either list that have no equal in the other (added items and
// removed ones), compared by the records' own equality: left's first, in order.
template <class Record>
std::vector<Record> symmetricDifference(const std::vector<Record>& left, const std::vector<Record>& right)
{
    std::vector<Record> difference;
    const auto addMissing = [&](const std::vector<Record>& from, const std::vector<Record>& in) {
        for (const auto& record : from)
            if (std::find(in.begin(), in.end(), record) == in.end())
                difference.push_back(record);
    };
    addMissing(left, right);
    addMissing(right, left);
    return difference;
}
