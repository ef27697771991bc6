#pragma once

#include <string>

// Byte counts for display: "999 bytes", "1.5 MB", ... up to TB.
// Decimal steps by 1000, binary steps by 1024.
std::string formatByteCountDecimal(double count);
std::string formatByteCountBinary(double count);
