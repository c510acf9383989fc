// `tallowin PATH`: a PATH that is not a readable folder is refused before any
// window opens, with one line on standard error and status 2.
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "ChildProcess.h"
#include "TempTree.h"

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
    const std::string errFile = t.Path("stderr.txt");
    for (const Case& c : cases) {
        std::vector<std::string> argv{TALLOWIN_BINARY};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        // No display: a window attempt would fail with another status.
        const pid_t pid = Spawn(argv, {"QT_QPA_PLATFORM=minimal", "DISPLAY="}, errFile);
        const auto status = WaitFor(pid, std::chrono::seconds(20));
        if (!status)
            KillChild(pid);
        ASSERT_TRUE(status) << c.what;
        ASSERT_TRUE(WIFEXITED(*status)) << c.what;
        EXPECT_EQ(WEXITSTATUS(*status), 2) << c.what;
        std::ifstream in(errFile);
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1) << c.what << ": " << all;
        EXPECT_EQ(all.rfind("tallowin: ", 0), 0u) << c.what << ": " << all;
    }
}
