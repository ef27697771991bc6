#pragma once

#include <string>

// A number in its shortest textual form, an integral value without a fraction
// (2 gives "2", 2.5 gives "2.5"): how a stored settings number is shown.
std::string numberText(double value);

// A double in its usual textual form, always with a fraction (2 gives "2.0",
// 2.5 gives "2.5"): how a computed version number is shown.
std::string doubleText(double value);
