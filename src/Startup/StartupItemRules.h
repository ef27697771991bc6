#pragma once

#include "Platform/Bundle/Bundle.h"
#include "Platform/Image/Image.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/Values/Value.h"

#include <cstdint>
#include <optional>
#include <string>

// Rules that the launch-agent and login-item records share.

// The application that holds a program: the text before the first ".app/Contents"
// with ".app" appended ("/A/Tool.app/Contents/MacOS/Tool" gives "/A/Tool.app");
// null when the path holds no ".app/Contents".
std::optional<std::string> applicationPathOfProgram(const std::string& program);

// What a record shows of the application at a URL.
struct ApplicationDetails {
    std::optional<platform::Bundle> bundle;  // null when the URL names no folder
    std::optional<std::string> company;      // second component of the bundle identifier
    std::optional<std::string> bundleName;   // last component of the bundle's path
};
ApplicationDetails applicationDetails(const platform::FileURL& appUrl);

// The finish of a record: without an application URL it is invalid and keeps its
// icon; with one, the icon is the application's and it is invalid when its file is missing.
void finishApplication(const std::optional<platform::FileURL>& appUrl, std::optional<platform::Image>& icon,
                       bool& isInvalid);

// The generic icons shown for a job without an application.
platform::Image genericIcon(const std::string& forFile); // "app" or "plist"

// NSString integerValue: leading blanks, a sign and digits; 0 when no number starts the text.
std::int64_t integerValueOfText(const std::string& text);

// Typed entries of a dictionary: null when missing or of another kind. An integer
// entry also takes a Boolean (as a number), as the platform's numbers do.
std::optional<std::string> textEntry(const platform::Dictionary& dictionary, const std::string& key);
std::optional<std::int64_t> integerEntry(const platform::Dictionary& dictionary, const std::string& key);
std::optional<bool> booleanEntry(const platform::Dictionary& dictionary, const std::string& key);
std::optional<platform::Array> arrayEntry(const platform::Dictionary& dictionary, const std::string& key);

// Both present and equal; an absent value equals nothing.
template <class T>
bool bothPresentAndEqual(const std::optional<T>& left, const std::optional<T>& right)
{
    return left && right && *left == *right;
}
