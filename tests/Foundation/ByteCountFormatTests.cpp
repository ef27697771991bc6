#include "Foundation/ByteCountFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct ByteCountCase {
    double count;
    const char* decimal;
    const char* binary;
};

} // namespace

TEST(ByteCountFormat, FormatsEachCountInBothSteps)
{
    const std::vector<ByteCountCase> cases = {
        {-5, "0 bytes", "0 bytes"},
        {NAN, "0 bytes", "0 bytes"},
        {0, "0 bytes", "0 bytes"},
        {999.9, "999 bytes", "999 bytes"},
        {1000, "1.0 KB", "1000 bytes"},
        {1023, "1.0 KB", "1023 bytes"},
        {1024, "1.0 KB", "1.0 KB"},
        {999999, "1000.0 KB", "976.6 KB"},
        {1.5e6, "1.5 MB", "1.4 MB"},
        {1048576, "1.0 MB", "1.0 MB"},
        {2.5e9, "2.5 GB", "2.3 GB"},
        {1e12, "1.0 TB", "931.3 GB"},
        {1099511627776.0, "1.1 TB", "1.0 TB"},
        {1e15, "1000.0 TB", "909.5 TB"},
        {1e18, "1000000.0 TB", "909494.7 TB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatByteCountDecimal(c.count), c.decimal) << "count " << c.count;
        EXPECT_EQ(formatByteCountBinary(c.count), c.binary) << "count " << c.count;
    }
}
