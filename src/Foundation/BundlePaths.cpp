#include "Foundation/BundlePaths.h"

#include "Foundation/ProcessWideValue.h"

#include "Platform/Bundle/Bundle.h"

namespace {

std::string mainBundleResource(const std::string& name, const std::string& type)
{
    return platform::Bundle::main().pathForResource(name, type).value_or(std::string());
}

} // namespace

const std::string& bundledDatabasePath()
{
    return processWideValue([] { return mainBundleResource("BGX", "db"); });
}

const std::string& bundledAgentPath()
{
    return processWideValue([] { return mainBundleResource("ActiveGuardSentinelWarden", "app"); });
}
