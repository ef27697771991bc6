#include "Detection/SharedLists.h"

SharedList<MalwareList>& malwareRecords()
{
    static SharedList<MalwareList> records;
    return records;
}

SharedList<ScanResult>& scanResults()
{
    static SharedList<ScanResult> results;
    return results;
}
