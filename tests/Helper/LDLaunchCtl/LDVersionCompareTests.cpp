#include "Helper/LDLaunchCtl/LDVersionCompare.h"

#include <gtest/gtest.h>

namespace {

TEST(LDVersionCompare, OrdersVersionTexts)
{
    struct Case {
        const char* receiver;
        const char* other;
        LDOrdering expected;
    };
    const Case cases[] = {
        {"1.2", "1.2.0", LDOrdering::same},        {"1.10", "1.9", LDOrdering::descending},
        {"2", "10", LDOrdering::ascending},        {"1.0.1", "1", LDOrdering::descending},
        {"1.02", "1.2", LDOrdering::same},         {"1.2b", "1.2a", LDOrdering::descending},
        {"1.2a10", "1.2a9", LDOrdering::descending}, {"", "0", LDOrdering::ascending},
    };
    for (const auto& test : cases)
        EXPECT_EQ(ld_compareToVersion(test.receiver, test.other), test.expected)
            << test.receiver << " vs " << test.other;
}

TEST(LDVersionCompare, PredicatesFollowTheOrdering)
{
    EXPECT_TRUE(ld_version_isLessThanOrEqualTo("1.2", "1.2.0"));
    EXPECT_FALSE(ld_version_isLessThanOrEqualTo("1.10", "1.9"));
    EXPECT_TRUE(ld_version_isLessThan("2", "10"));
    EXPECT_TRUE(ld_version_isGreaterThan("10", "2"));
    EXPECT_TRUE(ld_version_isGreaterThanOrEqualTo("3.0", "3"));
    EXPECT_TRUE(ld_version_isEqualTo("3.0", "3"));
}

} // namespace
