#pragma once

#include "Platform/Values/Value.h"

#include <string>

// A date as the screens show it: "dd/MM/yyyy hh:mm:ss a", on the 12-hour clock with
// the AM/PM marker, in the user's time zone and locale
// (5 March 2021 14:07:09 gives "05/03/2021 02:07:09 PM" in English).
std::string dateTimeText(platform::Date date);
