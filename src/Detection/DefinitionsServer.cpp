#include "Detection/DefinitionsServer.h"

#include "Platform/Bundle/Bundle.h"

#include <cstdlib>

namespace {

constexpr const char* infoKey = "BGDefinitionsServer";
constexpr const char* environmentKey = "BG_DEFINITIONS_SERVER";
constexpr const char* defaultHost = "definitions.example.com";
constexpr const char* updateFolder = "/mac-zorazevivud/update/";

std::string definitionsHost()
{
    if (const auto* value = platform::Bundle::main().objectForInfoDictionaryKey(infoKey))
        if (const auto* host = value->asText(); host && !host->empty())
            return *host;
    if (const char* host = std::getenv(environmentKey); host && *host)
        return host;
    return defaultHost;
}

} // namespace

std::string definitionsURL(const std::string& file)
{
    return "http://" + definitionsHost() + updateFolder + file;
}
