// Start-up of the program. `tallowin --report ...` runs here, in a process
// that loads no windowing libraries, so a report starts in about a
// millisecond rather than the ~12 ms that loading the toolkit costs.
// So do --help and --version. Everything else replaces this process (exec,
// same process id and arguments) with the window program: beside this one in
// the build tree, under ../libexec/tallowin/ once installed.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

constexpr const char* kWindowProgram = "tallowin-window";
// The installed window program, relative to the installed launcher's folder.
constexpr const char* kInstalledWindowProgram = TALLOWIN_LIBEXEC_FROM_BIN "/tallowin-window";
constexpr int kExitCannotStart = 127;  // as a shell reports a missing program

// The folder of this program's file, with a trailing "/"; empty when unknown.
std::string OwnFolder(const char* argv0)
{
    std::string self(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), self.size());
    if (n > 0 && static_cast<size_t>(n) < self.size())
        self.resize(static_cast<size_t>(n));
    else
        self = argv0 ? argv0 : "";
    const size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string() : self.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const LauncherOutcome outcome = RunCommandLine(args, std::cout, std::cerr);
    if (!outcome.StartWindow)
        return outcome.Status;

    const std::string folder = OwnFolder(argc > 0 ? argv[0] : nullptr);
    if (folder.empty()) {
        std::cerr << "tallowin: cannot find the folder of this program, so not the window program\n";
        return kExitCannotStart;
    }
    const std::string window = folder + kWindowProgram;
    execv(window.c_str(), argv);
    int e = errno;
    std::string alsoTried;
    if (e == ENOENT) {
        const std::string installed = folder + kInstalledWindowProgram;
        execv(installed.c_str(), argv);
        e = errno;
        alsoTried = " (nor " + installed + ")";
    }
    std::cerr << "tallowin: cannot start the window program " << window << alsoTried << ": "
              << std::strerror(e) << '\n';
    return kExitCannotStart;
}
