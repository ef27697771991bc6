// The tests' setuid stand-in for the elevation tool: installed root's and setuid by
// SetuidElevation.h, it is run by a real user's process, writes its arguments to
// "arguments" beside itself, one a line, and runs them as root with an environment
// of its own (PATH and the caller's PKEXEC_UID), as pkexec does once the password is
// given. Exit status 127 when it has nothing to run, 126 when it cannot become root.
#include <grp.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 127;
    const uid_t caller = ::getuid();
    std::error_code error;
    const auto folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    if (::setgroups(0, nullptr) != 0 || ::setresgid(0, 0, 0) != 0 || ::setresuid(0, 0, 0) != 0)
        return 126;
    std::ofstream record(folder / "arguments");
    for (int index = 1; index < argc; ++index)
        record << argv[index] << '\n';
    record.close();
    const std::string callerEntry = "PKEXEC_UID=" + std::to_string(caller);
    char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char* const environment[] = {path, const_cast<char*>(callerEntry.c_str()), nullptr};
    ::execve(argv[1], argv + 1, environment);
    return 127;
}
