// The command line. `tallowin PATH`: a PATH that is not a readable folder is
// refused before any window opens, with one line on standard error and
// status 2 (these cases also show the launcher hands its arguments on).
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "ChildProcess.h"
#include "TempTree.h"

namespace {

struct TRun {
    int Status = -1;  // exit status; -1 when it did not exit by itself
    std::string Err;  // standard error
};

// Runs argv without a display (a window attempt would fail with another
// status), its standard error into errFile.
TRun RunHeadless(const std::vector<std::string>& argv, const std::string& errFile)
{
    TRun run;
    const pid_t pid = Spawn(argv, {"QT_QPA_PLATFORM=minimal", "DISPLAY="}, errFile);
    const auto status = WaitFor(pid, std::chrono::seconds(20));
    if (!status)
        KillChild(pid);
    else if (WIFEXITED(*status))
        run.Status = WEXITSTATUS(*status);
    std::ifstream in(errFile);
    run.Err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

}  // namespace

TEST(CommandLine, RefusesWhatIsNotAReadableFolder)
{
    TTempTree t;
    t.File("plain.txt", 10);
    struct Case {
        const char* what;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"missing", {t.Path("nothing-here")}},
        {"regular file", {t.Path("plain.txt")}},
        {"empty name", {""}},
        {"two folders", {t.Path(), t.Path()}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{TALLOWIN_BINARY};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const TRun run = RunHeadless(argv, t.Path("stderr.txt"));
        EXPECT_EQ(run.Status, 2) << c.what;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << c.what << ": " << run.Err;
        EXPECT_EQ(run.Err.rfind("tallowin: ", 0), 0u) << c.what << ": " << run.Err;
    }
}

// The launcher alone, without the window program beside it: the report still
// works, and a window start fails with one clear line and status 127.
TEST(CommandLine, LauncherWithoutWindowProgram)
{
    TTempTree t;
    t.File("data/a.bin", 2000);
    const std::string copy = t.Path("tallowin");
    std::filesystem::copy_file(TALLOWIN_BINARY, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {"report", {"--report", t.Path("data")}, 0},
        {"window", {}, 127},
        {"window on a folder", {t.Path("data")}, 127},
    };
    const std::string missing = "tallowin: cannot start the window program " + t.Path("tallowin-window");
    for (const Case& c : cases) {
        std::vector<std::string> argv{copy};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const TRun run = RunHeadless(argv, t.Path("stderr.txt"));
        EXPECT_EQ(run.Status, c.status) << c.what;
        if (c.status == 0) {
            EXPECT_EQ(run.Err, "") << c.what;
        } else {
            EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << c.what << ": " << run.Err;
            EXPECT_EQ(run.Err.rfind(missing, 0), 0u) << c.what << ": " << run.Err;
        }
    }
}
