#pragma once

#include <string>
#include <vector>

// What an alert shows: its texts, its buttons in order and its style.
enum class AlertStyle { warning = 0, informational = 1, critical = 2 };

struct AlertContent {
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons; // the first answers alertFirstButtonReturn, the next 1001, ...
    AlertStyle style = AlertStyle::warning;
};

// Alert responses: the first button, the second, and so on.
inline constexpr int alertFirstButtonReturn = 1000;
inline constexpr int alertSecondButtonReturn = 1001;

// The response of Escape and of closing the alert: the second button's (the one
// that does not confirm), or the only button's when there is one.
int nonConfirmingResponse(const AlertContent& alert);
