#include "Screens/Common/KeptItemLine.h"

#include "Foundation/TextTable.h"
#include "Screens/Common/TextFormat.h"

#include <filesystem>

std::string keptItemLine(const KeptItem& item)
{
    const std::string name = std::filesystem::path(item.path).filename().string();
    switch (item.reason) {
    case KeptReason::ignoreList:
        return formatText(localizedText("IDS_BGX_222"), {name});
    case KeptReason::protectedPath:
        return formatText(localizedText("IDS_BGX_223"), {name});
    case KeptReason::notRemoved:
        break;
    }
    return formatText(localizedText("IDS_BGX_280"), {name, item.failure});
}
