#pragma once

#include "Detection/Clean.h"

#include <string>

// The line that says which item was kept on disk, by its name, and why: as the
// clean's result lists it and the download alert shows a failed Delete.
std::string keptItemLine(const KeptItem& item);
