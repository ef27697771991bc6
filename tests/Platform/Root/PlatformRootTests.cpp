#include "Platform/Root/PlatformRoot.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// Threads that build user paths at once (writers of the login items, say) all
// get the one home: a name looked up for one thread is never another's half.
TEST(PlatformRootTest, ThreadsLookingUpTheLoginNameAtOnceAllGetIt)
{
    unsetenv("PLATFORM_USER"); // the name from the user database
    const passwd* entry = getpwuid(getuid());
    ASSERT_TRUE(entry);
    const std::string expected = platform::hostPath(std::string("/Users/") + entry->pw_name);
    std::vector<std::thread> threads;
    std::vector<int> wrong(16, 0);
    for (int& count : wrong)
        threads.emplace_back([&count, &expected] {
            for (int i = 0; i < 10000; ++i)
                count += platform::homeDirectory() != expected ? 1 : 0;
        });
    for (auto& thread : threads)
        thread.join();
    for (int count : wrong)
        EXPECT_EQ(count, 0);
}

} // namespace
