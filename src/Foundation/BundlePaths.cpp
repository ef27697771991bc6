#include "Foundation/BundlePaths.h"

#include "Platform/Bundle/Bundle.h"

namespace {

std::string mainBundleResource(const std::string& name, const std::string& type)
{
    return platform::Bundle::main().pathForResource(name, type).value_or(std::string());
}

} // namespace

std::string bundledDatabasePath()
{
    return mainBundleResource("BGX", "db");
}

std::string bundledAgentPath()
{
    return mainBundleResource("ActiveGuardSentinelWarden", "app");
}
