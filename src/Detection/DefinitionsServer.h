#pragma once

#include <string>

// The address of a file of the definitions update on the product's update server:
// "http://" + host + "/mac-zorazevivud/update/" + file. The host (with an optional
// port) is the main bundle's Info.plist value "BGDefinitionsServer", else the
// environment's BG_DEFINITIONS_SERVER, else the default host; read at every call.
std::string definitionsURL(const std::string& file);
