#include "Platform/Http/HttpTransfer.h"

#include "LoopbackServer.h"
#include "SlowServers.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace std::chrono_literals;

namespace {

constexpr auto ceiling = 30s; // far above every shortened deadline below

class HttpTransferTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        loopback.server.Get("/trickle", [](const httplib::Request&, httplib::Response& response) {
            testsupport::trickle(response, std::string(64 * 1024, 'x'));
        });
        // 64 KiB every 50 ms, well above the rate floor, for as long as the client takes it.
        loopback.server.Get("/endless", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/octet-stream", [](std::size_t, httplib::DataSink& sink) {
                static const std::string chunk(64 * 1024, 'x');
                std::this_thread::sleep_for(50ms);
                return sink.write(chunk.data(), chunk.size());
            });
        });
        // 1 MiB at the same pace, then the end.
        loopback.server.Get("/steady", [](const httplib::Request&, httplib::Response& response) {
            testsupport::trickle(response, std::string(1024 * 1024, 'x'), 64 * 1024, 50ms);
        });
        // 24 KiB after every 7 s of silence: 3.4 KiB a second, below the 4 KiB floor,
        // yet each burst lifts a rate measured over a few seconds above it.
        loopback.server.Get("/bursts", [this](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/octet-stream", [this](std::size_t, httplib::DataSink& sink) {
                static const std::string burst(24 * 1024, 'x');
                for (auto silence = 0ms; silence < 7s; silence += 50ms) {
                    if (ending)
                        return false;
                    std::this_thread::sleep_for(50ms);
                }
                return sink.write(burst.data(), burst.size());
            });
        });
        // The whole answer after 36 s at the scale of 1/30 the cases use.
        loopback.server.Get("/late", [](const httplib::Request&, httplib::Response& response) {
            std::this_thread::sleep_for(1200ms);
            response.set_content("version=2\n", "text/plain");
        });
        loopback.server.Get("/to-file", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("file:///etc/hostname");
        });
        loopback.server.Get("/to-gopher", [this](const httplib::Request&, httplib::Response& response) {
            response.set_redirect(silent.url("gopher", "/_chosen%20bytes"));
        });
        loopback.start();
    }

    void TearDown() override
    {
        ending = true;
        PlatformRootTest::TearDown();
    }

    // The reply, counting only the bytes the body had.
    platform::HttpReply fetch(const std::string& url, platform::TransferDeadlines deadlines)
    {
        return platform::performHttpRequest({url, std::nullopt, std::numeric_limits<std::size_t>::max(), deadlines},
                                            [](std::string_view) { return true; });
    }

    std::atomic<bool> ending = false; // ends the handlers that wait, before the server stops
    LoopbackServer loopback;
    testsupport::SilentServer silent;
};

// Each shortened deadline ends a transfer that a slow or silent server would hold.
TEST_F(HttpTransferTest, EveryTransferEndsByItsDeadlines)
{
    struct Case {
        const char* name;
        std::string url;
        platform::TransferDeadlines deadlines;
        double scale;
        bool completes;
    };
    const Case cases[] = {
        {"small file trickled: total", loopback.url("/trickle"),
         platform::smallTransferDeadlines, 1.0 / 30, false},
        {"small file never answered: total", silent.url("http", "/bgx.ini"),
         platform::smallTransferDeadlines, 1.0 / 30, false},
        {"large file trickled: rate floor", loopback.url("/trickle"),
         platform::largeTransferDeadlines, 1.0 / 30, false},
        {"large file never answered: request time-out", silent.url("http", "/update.zip"),
         platform::largeTransferDeadlines, 1.0 / 30, false},
        {"small file answered after 36 s: within the request time-out", loopback.url("/late"),
         platform::smallTransferDeadlines, 1.0 / 30, true},
        {"large file answered after 36 s: within the request time-out", loopback.url("/late"),
         platform::largeTransferDeadlines, 1.0 / 30, true},
        {"large file without end above the floor: total", loopback.url("/endless"),
         platform::largeTransferDeadlines, 1.0 / 300, false},
        {"large file steadily above the floor", loopback.url("/steady"),
         platform::largeTransferDeadlines, 1.0 / 30, true},
        // A window of 7.5 s and a total of 300 s: the floor ends it by its first or second window.
        {"large file in bursts below the floor: rate floor", loopback.url("/bursts"),
         platform::largeTransferDeadlines, 1.0 / 4, false},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        const testsupport::ShortTransferDeadlines shortened(each.scale);
        const auto start = std::chrono::steady_clock::now();
        const auto reply = fetch(each.url, each.deadlines);
        EXPECT_LT(std::chrono::steady_clock::now() - start, ceiling);
        EXPECT_EQ(!reply.transportError, each.completes) << reply.transportError.value_or("");
        EXPECT_EQ(reply.status, each.completes ? 200 : 0);
    }
}

TEST_F(HttpTransferTest, OnlyHttpAndHttpsAreFollowed)
{
    const std::string refused[] = {"file:///etc/hostname", silent.url("gopher", "/_chosen%20bytes"),
                                   loopback.url("/to-file"), loopback.url("/to-gopher")};
    for (const std::string& url : refused) {
        SCOPED_TRACE(url);
        const auto reply = platform::performHttpRequest({url, std::nullopt});
        EXPECT_TRUE(reply.transportError);
        EXPECT_EQ(reply.body, "");
    }
    EXPECT_FALSE(silent.wasContacted()) << "bytes went to a port through another scheme";
}

} // namespace
