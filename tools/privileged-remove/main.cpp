// The privileged remover: run through the elevation tool when the user's own rights
// cannot move a found item to the Trash or remove it. Its arguments come from a
// process the user runs, so they are checked as any other input; it writes nothing
// on its standard output (the caller closes it) and says why it failed on its
// standard error. Exit status: 0 done, 1 failed, 2 the arguments make no request.
#include "PrivilegedRemove.h"

#include <cstdlib>
#include <iostream>
#include <variant>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto parsed = privileged::parseRequest(arguments, std::getenv("PKEXEC_UID"));
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << "privileged-remove: " << *problem << std::endl;
        return 2;
    }
    const auto& request = std::get<privileged::Request>(parsed);
    if (const auto error = privileged::perform(request)) {
        std::cerr << "privileged-remove: \"" << request.item << "\" could not be "
                  << (request.action == privileged::Request::Action::moveToTrash ? "moved to the Trash"
                                                                                  : "removed")
                  << ": " << error.message() << std::endl;
        return 1;
    }
    return 0;
}
