#include "Foundation/Analytics.h"

#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Http/HttpTransfer.h"
#include "Platform/IOKit/HardwareAddress.h"
#include "Platform/Values/PropertyList.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <regex>

std::string analyticsClientId;
std::string analyticsUtmSource;
std::string analyticsUtmCampaign;
std::string analyticsOSVersion;

namespace {

constexpr const char* protocolEndpoint = "https://www.google-analytics.com/collect";

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\n\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\n\r") - first + 1);
}

std::string kernelRelease()
{
    utsname system{};
    return uname(&system) == 0 ? system.release : "";
}

void readCampaignFile()
{
    const auto campaign = platform::readPropertyListFile(trackingPlistPath());
    const auto* entries = campaign ? campaign->asDictionary() : nullptr;
    if (!entries)
        return;
    for (const auto& [key, value] : *entries) {
        const auto* text = value.asText();
        if (key.empty() || !text)
            continue;
        const std::string name = trimmed(key);
        if (name == "utm_campaign")
            analyticsUtmCampaign = trimmed(*text);
        else if (name == "utm_source")
            analyticsUtmSource = trimmed(*text);
    }
}

} // namespace

std::string analyticsEndpoint()
{
    if (const char* url = std::getenv("BG_ANALYTICS_URL"); url && *url)
        return url;
    if (const auto* value = platform::Bundle::main().objectForInfoDictionaryKey("BGAnalyticsURL"))
        if (const auto* url = value->asText(); url && !url->empty())
            return *url;
    return protocolEndpoint;
}

std::string analyticsHitBody(const std::string& category, const std::string& action)
{
    return "v=1&tid=" + std::string(analyticsTrackingId) + "&cid=" + analyticsClientId + "&t=event&ec=" + category +
           "&ea=" + action + "&el=" + analyticsUtmSource + "_" + analyticsClientId + "&pa=click&pal=" +
           analyticsUtmSource + "&pr1id=" + analyticsUtmSource + "&pr1nm=" + analyticsOSVersion;
}

void sendAnalyticsEvent(const std::string& category, const std::string& action)
{
    platform::HttpRequest request{analyticsEndpoint(), analyticsHitBody(category, action)};
    platform::dispatch::asyncOnOwnThread([request = std::move(request)] { platform::performHttpRequest(request); });
}

std::string analyticsClientIdentifier()
{
    const auto address = platform::iokit::primaryHardwareAddress();
    if (!address)
        return {};
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", (*address)[0], (*address)[1], (*address)[2],
                  (*address)[3], (*address)[4], (*address)[5]);
    return text;
}

std::string operatingSystemVersion(const std::string& release)
{
    static const std::regex numbers(R"(^(\d+)(?:\.(\d+))?(?:\.(\d+))?)");
    std::smatch match;
    if (!std::regex_search(release, match, numbers))
        return "0.0.0";
    auto part = [&](int index) { return match[index].matched ? match[index].str() : std::string("0"); };
    return part(1) + "." + part(2) + "." + part(3);
}

void initAnalyticsGlobals()
{
    analyticsClientId = analyticsClientIdentifier();
    analyticsOSVersion = operatingSystemVersion(kernelRelease());
    readCampaignFile();
}

void createTrackingPlist()
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    if (std::filesystem::exists(trackingPlistPath(), ignored))
        return;
    const platform::Dictionary campaign{{"utm_campaign", "site"}, {"utm_source", "site"}, {"utm_medium", "site"}};
    if (platform::writePropertyListFile(trackingPlistPath(), campaign))
        std::cout << "file has been created!" << std::endl;
    else
        std::cout << "unable to create the file" << std::endl;
}
