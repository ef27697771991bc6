// post-distributed-notification <name> <object>
#include "Platform/Notifications/DistributedNotificationCenter.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    platform::DistributedNotificationCenter::defaultCenter().post(argv[1], argv[2]);
    return 0;
}
