// take-update-lock <marker>: takes the definitions update lock, as a second
// process of the user (the agent) does, then writes <marker> and ends.
#include "Detection/UpdateLock.h"

#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const UpdateLock lock;
    std::ofstream(argv[1]) << "acquired";
    return 0;
}
