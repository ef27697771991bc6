#include "TestRoot.h"

#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <filesystem>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    platform::dispatch::adoptMainThread();
    const auto root = testsupport::platformRootFolder();
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return result;
}
