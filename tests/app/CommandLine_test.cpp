// The command line. `tallowin PATH`: arguments that name no folder or saved
// scan are refused before any window opens, with one line on standard error
// and status 2 (these cases also show the launcher hands its arguments on);
// a folder that cannot be read opens the window, which says why.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
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
        {"empty name", {""}},
        {"two folders", {t.Path(), t.Path()}},
        {"timing a missing folder", {"--timing", t.Path("nothing-here")}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{TALLOWIN_BINARY};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const TRun run = RunHeadless(argv, t.Path("stderr.txt"));
        EXPECT_EQ(run.Status, 2) << c.what;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << c.what << ": " << run.Err;
        EXPECT_EQ(run.Err.rfind("tallowin: ", 0), 0u) << c.what << ": " << run.Err;
    }
    // Started from a menu no one reads standard error: the window opens and
    // stays (its status bar says why); the line goes to standard error too.
    for (const std::string& folder : {t.Path("nothing-here"), std::string("/dev/null")}) {
        const pid_t pid = Spawn({TALLOWIN_BINARY, folder}, {"QT_QPA_PLATFORM=minimal", "DISPLAY="},
                                t.Path("stderr.txt"));
        const bool stayed = !WaitFor(pid, std::chrono::milliseconds(1500));
        if (stayed)
            KillChild(pid);
        EXPECT_TRUE(stayed) << folder;
        std::ifstream in(t.Path("stderr.txt"));
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line.rfind("tallowin: cannot read folder '" + folder + "': ", 0), 0u) << line;
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

// What the launcher answers itself, and a window start without a usable
// display: exit status, first line, and the stream it goes to.
TEST(CommandLine, AnswersAndRefusalsByStatusAndFirstLine)
{
    TTempTree t;
    const std::string noDisplay =
        "tallowin: cannot open a window: no display; for a text report use: tallowin --report PATH";
    struct Case {
        const char* what;
        std::string env;
        std::string args;
        int status;
        std::string out;  // first line of standard output
        std::string err;  // standard error: this one line, or nothing
    };
    const Case cases[] = {
        {"help", "", "--help", 0,
         "Usage: tallowin [FOLDER]          open the window; scan FOLDER at once when given", ""},
        {"version", "", "--version", 0, "tallowin " TALLOWIN_VERSION, ""},
        {"-h is --help", "", "-h", 0,
         "Usage: tallowin [FOLDER]          open the window; scan FOLDER at once when given", ""},
        {"help wins", "", "--report / --help", 0,
         "Usage: tallowin [FOLDER]          open the window; scan FOLDER at once when given", ""},
        {"unknown option", "", "--colour", 2, "",
         "tallowin: unknown option '--colour'. Try 'tallowin --help'."},
        {"report option alone", "", "--depth 1", 2, "",
         "tallowin: --depth goes with --report. Try 'tallowin --help'."},
        {"no display", "DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=", "", 1, "", noDisplay},
        {"display that does not open", "DISPLAY=:4711 WAYLAND_DISPLAY= QT_QPA_PLATFORM=", t.Root(), 1, "",
         noDisplay},
        {"x chosen, wayland socket missing",
         "DISPLAY= WAYLAND_DISPLAY=" + t.Path("none") + " QT_QPA_PLATFORM=xcb", "", 1, "", noDisplay},
    };
    for (const Case& c : cases) {
        const std::string out = t.Path("out.txt");
        const std::string err = t.Path("err.txt");
        const std::string status = Output("env " + c.env + " " + TALLOWIN_BINARY + " " + c.args + " >" + out
                                          + " 2>" + err + "; echo $?");
        EXPECT_EQ(status, std::to_string(c.status) + "\n") << c.what;
        std::ifstream outIn(out), errIn(err);
        std::string outFirst,
            errAll((std::istreambuf_iterator<char>(errIn)), std::istreambuf_iterator<char>());
        std::getline(outIn, outFirst);
        EXPECT_EQ(outFirst, c.out) << c.what;
        EXPECT_EQ(errAll, c.err.empty() ? "" : c.err + "\n") << c.what;
    }
}

// --help gives every option the launcher accepts a line of its own: the
// first option word of exactly one line.
TEST(CommandLine, HelpGivesEveryOptionALine)
{
    std::map<std::string, int> lines;
    std::istringstream help(Output(std::string(TALLOWIN_BINARY) + " --help"));
    for (std::string line; std::getline(help, line);) {
        std::istringstream words(line);
        std::string w;
        while (words >> w && w[0] != '-') {}
        ++lines[w];
    }
    for (const char* option : {"--report", "--timing", "--by-name", "--by-size", "--depth", "--files", "--",
                               "--help", "--version", "--changes", "--top", "--no-history", "--disk-usage"})
        EXPECT_EQ(lines[option], 1) << option;
}
