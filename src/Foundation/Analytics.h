#pragma once

#include <string>

// Values every hit carries, filled once by initAnalyticsGlobals() at start-up
// and only read afterwards (from any thread). Empty until then.
extern std::string analyticsClientId;
extern std::string analyticsUtmSource;
extern std::string analyticsUtmCampaign;
extern std::string analyticsOSVersion;

// The tracking identifier sent as "tid".
inline constexpr const char* analyticsTrackingId = "UA-471902356-03";

// The collection endpoint: $BG_ANALYTICS_URL when set, else the main bundle's
// Info.plist text "BGAnalyticsURL", else the Measurement Protocol's own.
std::string analyticsEndpoint();

// The form body of one event hit, fields in the protocol's order, values as they are.
std::string analyticsHitBody(const std::string& category, const std::string& action);

// Posts one event hit in the background and returns at once; the reply is ignored.
// The end of the process waits for a post under way (finishGlobalQueue).
void sendAnalyticsEvent(const std::string& category, const std::string& action);

// The primary interface's hardware address as "0a:1b:2c:3d:4e:5f"; empty without one.
std::string analyticsClientIdentifier();

// major.minor.patch of the running system's kernel release ("6.1.0-18-amd64" gives
// "6.1.0", "5.10" gives "5.10.0").
std::string operatingSystemVersion(const std::string& release);

// Fills the four values: client identifier, system version, and the campaign
// values "utm_source" and "utm_campaign" of the campaign file (trimmed).
void initAnalyticsGlobals();

// Writes the campaign file with "site" under its three keys unless it exists.
void createTrackingPlist();
