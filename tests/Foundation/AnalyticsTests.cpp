#include "Foundation/Analytics.h"

#include "Foundation/UserPaths.h"
#include "LoopbackServer.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <regex>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Points BG_ANALYTICS_URL elsewhere for one test and puts it back.
class EndpointOverride {
public:
    explicit EndpointOverride(const char* url)
    {
        if (const char* current = std::getenv("BG_ANALYTICS_URL"))
            saved_ = current;
        url ? setenv("BG_ANALYTICS_URL", url, 1) : unsetenv("BG_ANALYTICS_URL");
    }
    ~EndpointOverride() { saved_.empty() ? unsetenv("BG_ANALYTICS_URL") : setenv("BG_ANALYTICS_URL", saved_.c_str(), 1); }

private:
    std::string saved_;
};

class Analytics : public testsupport::PlatformRootTest {
protected:
    void TearDown() override
    {
        for (auto* value : {&analyticsClientId, &analyticsUtmSource, &analyticsUtmCampaign, &analyticsOSVersion})
            value->clear();
    }
};

TEST_F(Analytics, HitArrivesWithTheFormFieldsInOrder)
{
    LoopbackServer loopback;
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::pair<std::string, std::string>> hits;
    loopback.server.Post("/collect", [&](const httplib::Request& request, httplib::Response&) {
        std::lock_guard lock(mutex);
        hits.emplace_back(request.body, request.get_header_value("Content-Type"));
        arrived.notify_all();
    });
    loopback.start();
    const EndpointOverride endpoint(loopback.url("/collect").c_str());

    analyticsClientId = "0a:1b:2c:3d:4e:5f";
    analyticsUtmSource = "site";
    analyticsOSVersion = "10.15.7";
    sendAnalyticsEvent("scan", "malware_scanning");

    std::unique_lock lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10), [&] { return !hits.empty(); }));
    EXPECT_EQ(hits.front().first, "v=1&tid=UA-471902356-03&cid=0a:1b:2c:3d:4e:5f&t=event&ec=scan&ea=malware_scanning"
                                  "&el=site_0a:1b:2c:3d:4e:5f&pa=click&pal=site&pr1id=site&pr1nm=10.15.7");
    EXPECT_EQ(hits.front().second, "application/x-www-form-urlencoded");
}

// The end of the process waits for a post under way until its answer has come
// (in a process of its own).
TEST_F(Analytics, TheEndOfTheProcessWaitsForAPostUnderWay)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LoopbackServer loopback;
            std::atomic<int> arrived = 0;
            std::atomic<int> answered = 0;
            loopback.server.Post("/collect", [&](const httplib::Request&, httplib::Response&) {
                ++arrived;
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                ++answered;
            });
            loopback.start();
            const EndpointOverride endpoint(loopback.url("/collect").c_str());
            sendAnalyticsEvent("scan", "malware_scanning");
            while (arrived == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            platform::dispatch::finishGlobalQueue(3);
            std::quick_exit(answered == 1 ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(Analytics, EmptyValuesLeaveTheirFieldsEmpty)
{
    EXPECT_EQ(analyticsHitBody("clean", "malware_cleanning"),
              "v=1&tid=UA-471902356-03"
              "&cid=&t=event&ec=clean&ea=malware_cleanning&el=_&pa=click&pal=&pr1id=&pr1nm=");
}

TEST_F(Analytics, EndpointComesFromTheEnvironmentThenInfoPlist)
{
    const auto bundle = testsupport::homeFolder() / "Test.app";
    fs::create_directories(bundle / "Contents");
    ASSERT_TRUE(platform::writePropertyListFile((bundle / "Contents" / "Info.plist").string(),
                                                platform::Dictionary{{"BGAnalyticsURL", "http://127.0.0.1:1/c"}}));
    platform::Bundle::setMainBundlePath(bundle.string());
    {
        const EndpointOverride endpoint("http://127.0.0.1:2/collect");
        EXPECT_EQ(analyticsEndpoint(), "http://127.0.0.1:2/collect");
    }
    {
        const EndpointOverride endpoint(nullptr);
        EXPECT_EQ(analyticsEndpoint(), "http://127.0.0.1:1/c");
        platform::Bundle::setMainBundlePath((testsupport::homeFolder() / "None.app").string());
        EXPECT_TRUE(analyticsEndpoint().starts_with("https://"));
    }
}

TEST_F(Analytics, GlobalsReadTheTrimmedCampaignValues)
{
    fs::create_directories(supportFolderPath());
    ASSERT_TRUE(platform::writePropertyListFile(
        trackingPlistPath(),
        platform::Dictionary{{" utm_source ", "  partner \t"}, {"utm_campaign", "spring"}, {"utm_medium", "mail"},
                             {"", "skipped"}, {"utm_term", 4}}));
    initAnalyticsGlobals();
    EXPECT_EQ(analyticsUtmSource, "partner");
    EXPECT_EQ(analyticsUtmCampaign, "spring");
    EXPECT_TRUE(std::regex_match(analyticsOSVersion, std::regex(R"(\d+\.\d+\.\d+)"))) << analyticsOSVersion;
    EXPECT_TRUE(analyticsClientId.empty() ||
                std::regex_match(analyticsClientId, std::regex("([0-9a-f]{2}:){5}[0-9a-f]{2}")))
        << analyticsClientId;
}

TEST_F(Analytics, MissingCampaignFileLeavesCampaignValuesEmpty)
{
    initAnalyticsGlobals();
    EXPECT_EQ(analyticsUtmSource, "");
    EXPECT_EQ(analyticsUtmCampaign, "");
}

TEST(OperatingSystemVersion, KeepsThreeNumbers)
{
    const std::pair<const char*, const char*> cases[] = {
        {"6.1.0-18-amd64", "6.1.0"}, {"10.15.7", "10.15.7"}, {"5.10", "5.10.0"}, {"6", "6.0.0"}, {"", "0.0.0"},
    };
    for (const auto& [release, version] : cases)
        EXPECT_EQ(operatingSystemVersion(release), version) << release;
}

TEST_F(Analytics, TrackingPlistIsWrittenOnceWithSiteValues)
{
    createTrackingPlist();
    const auto written = platform::readPropertyListFile(trackingPlistPath());
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, platform::Value(platform::Dictionary{
                            {"utm_campaign", "site"}, {"utm_source", "site"}, {"utm_medium", "site"}}));

    const platform::Dictionary other{{"utm_source", "partner"}};
    ASSERT_TRUE(platform::writePropertyListFile(trackingPlistPath(), other));
    createTrackingPlist();
    EXPECT_EQ(platform::readPropertyListFile(trackingPlistPath()), platform::Value(other));
}

} // namespace
