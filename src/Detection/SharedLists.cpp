#include "Detection/SharedLists.h"

ImmutableSharedList<MalwareList>& malwareRecords()
{
    static ImmutableSharedList<MalwareList> records;
    return records;
}

SharedList<ScanResult>& scanResults()
{
    static SharedList<ScanResult> results;
    return results;
}
