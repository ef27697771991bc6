#include "Platform/Sparkle/UpdateTransfer.h"
#include "Platform/Tools/ToolProcess.h"
#include "TestRoot.h"

#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A body of `size` bytes that gzip shrinks to a few hundred.
std::string compressible(std::size_t size)
{
    return std::string(size, 'a');
}

std::string gzipped(const std::string& text)
{
    const fs::path plain = testsupport::platformRootFolder() / "plain";
    testsupport::plantFile(plain, text);
    auto zip = platform::ToolProcess::launch("/bin/sh", {"-c", "gzip -n -c \"$1\" > \"$1.gz\"", "sh", plain.string()},
                                             platform::ToolProcess::Capture::Nothing);
    if (!zip || zip->waitForExit() != 0)
        return {};
    std::string packed = testsupport::readFileText(plain.string() + ".gz");
    fs::remove(plain);
    fs::remove(plain.string() + ".gz");
    return packed;
}

class UpdateDownloadTotal : public testsupport::PlatformRootTest {
protected:
    // Every (received, total) the download told.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> download(const std::string& path)
    {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> told;
        const platform::TransferObserver observer{
            [&told](std::uint64_t received, std::uint64_t total) { told.emplace_back(received, total); }};
        const auto result = platform::downloadFile(server.url(path), (testsupport::platformRootFolder() / "f").string(),
                                                   std::size_t{64} << 20, observer);
        EXPECT_EQ(result, platform::TransferResult::Received) << path;
        EXPECT_FALSE(told.empty()) << path;
        return told;
    }

    LoopbackServer server;
};

// The total is the answer's Content-Length; an answer without one, or one whose
// decoded body passes its (compressed) length, has no total from there on.
TEST_F(UpdateDownloadTotal, IsTheAnswersContentLengthUntilTheBytesPassIt)
{
    const std::string body = compressible(3 << 20);
    const std::string packed = gzipped(body);
    ASSERT_FALSE(packed.empty());
    server.server.Get("/sized.zip", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/zip");
    });
    server.server.Get("/chunked.zip", [&](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/zip", [&](std::size_t offset, httplib::DataSink& sink) {
            sink.write(body.data() + offset, std::min<std::size_t>(1 << 16, body.size() - offset));
            if (offset + (1 << 16) >= body.size())
                sink.done();
            return true;
        });
    });
    server.server.Get("/gzipped.zip", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Encoding", "gzip");
        response.set_content(packed, "application/zip");
    });
    server.start();

    for (const auto& [received, total] : download("/sized.zip"))
        EXPECT_EQ(total, body.size()) << received;
    EXPECT_EQ(download("/sized.zip").back().first, body.size());
    for (const auto& [received, total] : download("/chunked.zip"))
        EXPECT_EQ(total, 0u) << received;
    const auto gzipTold = download("/gzipped.zip");
    EXPECT_EQ(gzipTold.back(), std::make_pair(std::uint64_t{body.size()}, std::uint64_t{0}));
    for (const auto& [received, total] : gzipTold)
        EXPECT_TRUE(total == 0 || (total == packed.size() && received <= total)) << received << " of " << total;
}

} // namespace
