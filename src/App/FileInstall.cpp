#include "App/FileInstall.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

std::optional<std::string> installFileCopy(const std::string& source, const std::string& destination)
{
    std::string temporary = destination + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0)
        return std::system_category().message(errno);
    close(descriptor);
    std::error_code error;
    if (fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error))
        fs::rename(temporary, destination, error);
    if (!error)
        return std::nullopt;
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return error.message();
}

void printFailure(const std::string& prefix, const std::string& error)
{
    std::cout << prefix << error << std::endl;
}
