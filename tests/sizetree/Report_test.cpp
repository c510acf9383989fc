#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "TempTree.h"
#include "sizetree/Report.h"
#include "sizetree/ReportText.h"

namespace {

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

TRun Report(const ReportOptions& options)
{
    std::ostringstream out, err;
    const int status = RunReport(options, out, err);
    return {status, out.str(), err.str()};
}

// root: big{x 2 MB, y 3 MB}, Small 1 MB, 150 kB loose in two files.
struct TReportTree {
    TTempTree T;
    TReportTree()
    {
        T.Dir("big");
        T.Dir("big/x");
        T.Dir("big/y");
        T.File("big/x/f", 2000000);
        T.File("big/y/f", 3000000);
        T.Dir("Small");
        T.File("Small/f", 1000000);
        T.File("loose", 100000);
        T.File("a-loose", 50000);
    }
};

TEST(RunReport, PrintsEveryCaptionIndentedInTheOrderAsked)
{
    TReportTree r;
    const std::string& root = r.T.Root();
    struct TCase {
        ReportOptions Options;
        std::string Expected;
    };
    const TCase cases[] = {
        {{root},
         root
             + "\n"
               "           5 MB  big\n"
               "             3 MB  y\n"
               "               3 MB  [FILES]\n"
               "             2 MB  x\n"
               "               2 MB  [FILES]\n"
               "           1 MB  Small\n"
               "             1 MB  [FILES]\n"
               "         0.2 MB  [FILES]\n"},
        {{root, true},
         root
             + "\n"
               "         0.2 MB  [FILES]\n"
               "           1 MB  Small\n"
               "             1 MB  [FILES]\n"
               "           5 MB  big\n"
               "             2 MB  x\n"
               "               2 MB  [FILES]\n"
               "             3 MB  y\n"
               "               3 MB  [FILES]\n"},
        {{root, false, 1},
         root + "\n           5 MB  big\n           1 MB  Small\n         0.2 MB  [FILES]\n"},
        {{root, false, 0}, root + "\n"},
        {{root, false, -1, true},
         root
             + "\n"
               "           5 MB  big\n"
               "             3 MB  y\n"
               "               3 MB  [FILES]\n"
               "                 3 MB  f\n"
               "             2 MB  x\n"
               "               2 MB  [FILES]\n"
               "                 2 MB  f\n"
               "           1 MB  Small\n"
               "             1 MB  [FILES]\n"
               "               1 MB  f\n"
               "         0.2 MB  [FILES]\n"
               "           0.1 MB  loose\n"
               "             0 MB  a-loose\n"},
        {{root, true, -1, true},
         root
             + "\n"
               "         0.2 MB  [FILES]\n"
               "             0 MB  a-loose\n"
               "           0.1 MB  loose\n"
               "           1 MB  Small\n"
               "             1 MB  [FILES]\n"
               "               1 MB  f\n"
               "           5 MB  big\n"
               "             2 MB  x\n"
               "               2 MB  [FILES]\n"
               "                 2 MB  f\n"
               "             3 MB  y\n"
               "               3 MB  [FILES]\n"
               "                 3 MB  f\n"},
        // Files are a level: those of a FILES line at the last level are not printed.
        {{root, false, 2, true},
         root
             + "\n"
               "           5 MB  big\n"
               "             3 MB  y\n"
               "             2 MB  x\n"
               "           1 MB  Small\n"
               "             1 MB  [FILES]\n"
               "         0.2 MB  [FILES]\n"
               "           0.1 MB  loose\n"
               "             0 MB  a-loose\n"},
    };
    for (const TCase& c : cases) {
        const TRun run = Report(c.Options);
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, c.Expected);
        EXPECT_EQ(run.Err, "");
    }
}

// A path that is not a readable folder: one line on standard error, status 2,
// nothing on standard output. (Bad arguments: tests/app/ReportCommand_test.)
TEST(RunReport, RefusesWhatIsNotAFolderWithOneLine)
{
    TReportTree r;
    const std::string& root = r.T.Root();
    const std::vector<std::string> cases = {root + "/missing", root + "/loose"};
    for (const auto& path : cases) {
        const TRun run = Report({path});
        EXPECT_EQ(run.Status, 2) << path;
        EXPECT_EQ(run.Out, "");
        ASSERT_FALSE(run.Err.empty());
        EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
    }
}

TEST(RunReport, WriteFailureIsNotSuccess)
{
    TReportTree r;
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(RunReport({r.T.Root()}, out, err), 1);
    EXPECT_FALSE(err.str().empty());
}

TEST(RunReport, NamesPrintAsOneSafeLine)
{
    TTempTree t;
    t.Dir(std::string("two\nlines"));
    const TRun run = Report({t.Root()});
    EXPECT_EQ(run.Out, t.Root() + "\n           0 MB  two\\x0Alines\n");
}

TEST(EscapeForReport, KeepsTextEscapesTheRest)
{
    struct TCase {
        std::string In;
        std::string Out;
    };
    const TCase cases[] = {
        {"plain name", "plain name"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"a\nb\tc\x7f", "a\\x0Ab\\x09c\\x7F"},
        {"back\\slash", "back\\\\slash"},
        {"bad\xff", "bad\\xFF"},
        {"cut\xc3", "cut\\xC3"},                       // sequence cut short
        {"\xc0\xaf", "\\xC0\\xAF"},                    // overlong form
        {"\xed\xa0\x80", "\\xED\\xA0\\x80"},           // surrogate
        {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // beyond U+10FFFF
        {std::string("nul\0in", 6), "nul\\x00in"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(EscapeForReport(c.In), c.Out) << c.Out;
}

}  // namespace
