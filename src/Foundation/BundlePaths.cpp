#include "Foundation/BundlePaths.h"

#include "Platform/Bundle/Bundle.h"

namespace {

std::string mainBundleResource(const std::string& name, const std::string& type)
{
    return platform::Bundle::main().pathForResource(name, type).value_or(std::string());
}

} // namespace

const std::string& bundledDatabasePath()
{
    static const std::string path = mainBundleResource("BGX", "db");
    return path;
}

const std::string& bundledAgentPath()
{
    static const std::string path = mainBundleResource("ActiveGuardSentinelWarden", "app");
    return path;
}
