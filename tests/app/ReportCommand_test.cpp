// The report's command line: each accepted form and the options it gives,
// and every refusal as one line with status 2 before anything is scanned.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TempTree.h"
#include "app/CommandLine.h"

namespace {

TEST(ReportCommand, AcceptedFormsGiveTheirOptions)
{
    struct TCase {
        std::vector<std::string> Args;
        ReportOptions Expected;
    };
    const TCase cases[] = {
        {{"--report", "/r"}, {"/r", false, -1}},
        {{"--report", "/r", "--by-name"}, {"/r", true, -1}},
        {{"--by-name", "--by-size", "--report", "/r"}, {"/r", false, -1}},
        {{"--report", "--depth", "1", "/r"}, {"/r", false, 1}},
        {{"--report", "/r", "--depth=0"}, {"/r", false, 0}},
        {{"--report", "/r", "--files", "--by-name"}, {"/r", true, -1, true}},
        {{"--report", "--", "--depth"}, {"--depth", false, -1}},  // after "--" a word is a path
    };
    for (const TCase& c : cases) {
        std::ostringstream err;
        const auto parsed = ParseReportArgs(c.Args, err);
        ASSERT_TRUE(parsed) << c.Args.back() << ": " << err.str();
        EXPECT_EQ(parsed->Path, c.Expected.Path);
        EXPECT_EQ(parsed->ByName, c.Expected.ByName) << c.Args.back();
        EXPECT_EQ(parsed->Depth, c.Expected.Depth) << c.Args.back();
        EXPECT_EQ(parsed->Files, c.Expected.Files) << c.Args.back();
        EXPECT_EQ(err.str(), "");
    }
}

// Bad input: one line on standard error, status 2, nothing on standard output.
TEST(ReportCommand, RefusesBadInputWithOneLine)
{
    TTempTree t;
    t.File("loose", 10);
    const std::string& root = t.Root();
    const std::vector<std::vector<std::string>> cases = {
        {"--report", root + "/missing"},
        {"--report", root + "/loose"},  // a file
        {"--report"},
        {"--report", root, "--depth"},
        {"--report", root, "--depth", "-1"},
        {"--report", root, "--depth", "2x"},
        {"--report", root, "--colour"},
        {"--report", root, root},
        {"--report", "--", root, "--depth", "9"},
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(ReportMain(args, out, err), 2) << args.back();
        EXPECT_EQ(out.str(), "");
        ASSERT_FALSE(err.str().empty());
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    }
}

// A saved scan opens in the window, as a folder does.
TEST(ExportCommand, SavedScanGoesToTheWindow)
{
    std::ostringstream out, err;
    EXPECT_TRUE(RunCommandLine({"saved.json.zst"}, out, err).StartWindow);
    EXPECT_EQ(err.str(), "");
}

// The export takes one folder and nothing else; a bad one is refused before
// anything is written.
TEST(ExportCommand, RefusesBadInputWithOneLine)
{
    TTempTree t;
    t.File("loose", 10);
    const std::string& root = t.Root();
    const std::vector<std::vector<std::string>> cases = {
        {"--export"},
        {"--export", root, root},
        {"--export", root, "--files"},
        {"--export", root, "--report", root},
        {"--export", root + "/loose"},
        {"--export", root + "/missing"},
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        const LauncherOutcome outcome = RunCommandLine(args, out, err);
        EXPECT_FALSE(outcome.StartWindow);
        EXPECT_EQ(outcome.Status, 2) << args.back();
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    }
}

}  // namespace
