#include "Platform/Defaults/FileLock.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using platform::FileLock;
using FileLockTest = testsupport::PlatformRootTest;

TEST_F(FileLockTest, ALockThatDoesNotWaitFailsWhileAnotherHoldsItAndSucceedsAfterwards)
{
    const std::string path = (testsupport::platformRootFolder() / "held.lock").string();
    std::optional<FileLock> holder;
    holder.emplace(path, FileLock::Mode::Exclusive);
    ASSERT_TRUE(holder->held());
    EXPECT_FALSE(FileLock(path, FileLock::Mode::Exclusive, FileLock::Wait::Never).held());
    EXPECT_FALSE(FileLock(path, FileLock::Mode::Shared, FileLock::Wait::Never).held());
    holder.reset();
    EXPECT_TRUE(FileLock(path, FileLock::Mode::Exclusive, FileLock::Wait::Never).held());
}

} // namespace
