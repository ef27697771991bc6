#include "Foundation/Downloads.h"

#include "LoopbackServer.h"
#include "Platform/Dispatch/Dispatch.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    std::string path;
    std::optional<DownloadError> error;
    std::thread::id thread;
};

class Downloads : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        loopback.server.Get("/bgx.ini", [this](const httplib::Request&, httplib::Response& response) {
            ++requests;
            response.set_content("[act]\nversion=2.0\n", "text/plain");
        });
        loopback.server.Get("/empty", [this](const httplib::Request&, httplib::Response& response) {
            ++requests;
            response.status = 200;
        });
        loopback.server.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/bgx.ini");
        });
        loopback.server.Get("/declared", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(limit + 1, 'x'), "application/octet-stream");
        });
        loopback.server.Get("/exact", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(limit, 'x'), "application/octet-stream");
        });
        loopback.server.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/octet-stream",
                                                  [](std::size_t offset, httplib::DataSink& sink) {
                                                      const std::string chunk(100, 'x');
                                                      sink.write(chunk.data(), chunk.size());
                                                      if (offset + chunk.size() > 100 * limit)
                                                          sink.done();
                                                      return true;
                                                  });
        });
        loopback.server.Get("/compressed", [this](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Encoding", "gzip");
            response.set_content(compressedBody, "application/octet-stream");
        });
        loopback.server.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            ++requests;
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            response.set_content("late", "text/plain");
        });
        loopback.server.Get("/missing", [this](const httplib::Request&, httplib::Response& response) {
            ++requests;
            response.status = 404;
            response.set_content("not found", "text/plain");
        });
        loopback.start();
    }

    // Runs the download and waits for its only completion.
    Outcome download(const std::optional<std::string>& url, const fs::path& destination,
                     std::size_t maximumSize = std::size_t{1} << 20)
    {
        auto calls = std::make_shared<std::atomic<int>>(0);
        std::promise<Outcome> promise;
        auto result = promise.get_future();
        downloadFile(url, destination.string(), {maximumSize, platform::smallTransferDeadlines},
                     [&promise, calls](const std::string& path, const std::optional<DownloadError>& error) {
                         if (++*calls == 1)
                             promise.set_value({path, error, std::this_thread::get_id()});
                     });
        EXPECT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
        auto outcome = result.get();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(*calls, 1);
        return outcome;
    }

    static std::string gzipped(const std::string& bytes)
    {
        const auto plain = testsupport::plantFile(testsupport::platformRootFolder() / "plain", bytes);
        EXPECT_EQ(std::system(("gzip -f '" + plain.string() + "'").c_str()), 0);
        return testsupport::readFileText(plain.string() + ".gz");
    }

    static std::string contents(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    static constexpr std::size_t limit = 1000;
    std::string compressedBody; // served gzip-encoded; set by the test that asks for it
    LoopbackServer loopback;
    std::atomic<int> requests{0};
    fs::path destination = testsupport::homeFolder() / "bgx.ini";
};

TEST_F(Downloads, WritesTheBodyOfA200OnABackgroundThread)
{
    const auto outcome = download(loopback.url("/bgx.ini"), destination);
    EXPECT_EQ(outcome.path, destination.string());
    EXPECT_FALSE(outcome.error);
    EXPECT_NE(outcome.thread, std::this_thread::get_id());
    EXPECT_EQ(contents(destination), "[act]\nversion=2.0\n");
}

// The end of the process waits for a download under way: when it returns, the
// file is written and the completion has run (in a process of its own).
TEST_F(Downloads, TheEndOfTheProcessWaitsForADownloadUnderWay)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<bool> completed = false;
            downloadFile(loopback.url("/slow"), destination.string(), {limit, platform::smallTransferDeadlines},
                         [&](const std::string&, const std::optional<DownloadError>& error) { completed = !error; });
            while (requests == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            platform::dispatch::finishGlobalQueue(3);
            std::quick_exit(completed && contents(destination) == "late" ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(Downloads, FollowsRedirects)
{
    EXPECT_FALSE(download(loopback.url("/moved"), destination).error);
    EXPECT_EQ(contents(destination), "[act]\nversion=2.0\n");
}

TEST_F(Downloads, EmptyBodyOf200WritesAnEmptyFile)
{
    EXPECT_FALSE(download(loopback.url("/empty"), destination).error);
    ASSERT_TRUE(fs::exists(destination));
    EXPECT_EQ(fs::file_size(destination), 0u);
}

TEST_F(Downloads, ExistingDestinationOrNoUrlFetchesNothingAndContinuesAtOnce)
{
    testsupport::plantFile(destination, "old");
    for (const auto& url : {std::optional<std::string>(loopback.url("/bgx.ini")), std::optional<std::string>()}) {
        const auto outcome = download(url, destination);
        EXPECT_FALSE(outcome.error);
        EXPECT_EQ(outcome.thread, std::this_thread::get_id());
    }
    fs::remove(destination);
    EXPECT_FALSE(download(std::nullopt, destination).error);
    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(fs::exists(destination));
}

TEST_F(Downloads, StatusOtherThan200IsAnErrorAndWritesNothing)
{
    const auto outcome = download(loopback.url("/missing"), destination);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, DownloadError::Kind::HttpStatus);
    EXPECT_EQ(outcome.error->httpStatus, 404);
    EXPECT_EQ(outcome.path, destination.string());
    EXPECT_FALSE(fs::exists(destination));
}

TEST_F(Downloads, ABodyOverTheLimitIsAnErrorAndWritesNothing)
{
    compressedBody = gzipped(std::string(100 * limit, '\0'));
    ASSERT_LT(compressedBody.size(), limit);
    for (const char* path : {"/declared", "/chunked", "/compressed"}) {
        const auto outcome = download(loopback.url(path), destination, limit);
        ASSERT_TRUE(outcome.error) << path;
        EXPECT_EQ(outcome.error->kind, DownloadError::Kind::TooLarge) << path;
        EXPECT_FALSE(fs::exists(destination)) << path;
    }
    EXPECT_FALSE(download(loopback.url("/exact"), destination, limit).error);
    EXPECT_EQ(fs::file_size(destination), limit);
}

TEST_F(Downloads, RefusedConnectionIsATransportError)
{
    const std::string url = loopback.url("/bgx.ini");
    loopback.server.stop();
    const auto outcome = download(url, destination);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, DownloadError::Kind::Transport);
    EXPECT_FALSE(fs::exists(destination));
}

TEST_F(Downloads, UnwritableDestinationOf200IsAnError)
{
    const auto outcome = download(loopback.url("/bgx.ini"), testsupport::homeFolder() / "no" / "such" / "bgx.ini");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, DownloadError::Kind::Write);
}

} // namespace
