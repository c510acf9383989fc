// Round trips of whole trees through the real program: the report of a
// folder's export, plain, gzip or zstd, is the folder's report byte for
// byte (both orders, --files, --depth) on a hostile tree; the peers read
// the export and agree on its sums; the peers' exports of a plain tree read
// back as the folder's report.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "HostileSupport.h"
#include "Packing.h"
#include "TempTree.h"
#include "savedscan/SavedScan.h"

namespace {

const std::vector<std::vector<std::string>> kReportViews = {
    {}, {"--by-name"}, {"--files"}, {"--files", "--by-name"}, {"--depth", "2"}};

// A shell command's standard output, and whether it exited 0. Peers get a
// home of their own: no settings of the machine's users are read.
bool Shell(const std::string& command, std::string* out = nullptr)
{
    FILE* p = popen(("HOME=/nonexistent " + command).c_str(), "r");
    if (!p)
        return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        if (out)
            out->append(buf, n);
    return pclose(p) == 0;
}

bool Have(const std::string& program)
{
    return Shell("command -v " + program + " >/dev/null 2>&1");
}

// "" when the report of file equals the report of folder in every view.
std::string SameReports(const std::string& folder, const std::string& file, bool sameStatus = true)
{
    for (const std::vector<std::string>& view : kReportViews) {
        std::vector<std::string> args{"--report"};
        args.insert(args.end(), view.begin(), view.end());
        args.push_back(folder);
        const TBinaryRun live = RunBinary(args, 120);
        args.back() = file;
        const TBinaryRun saved = RunBinary(args, 120);
        const std::string what = file + " " + (view.empty() ? "" : view[0]) + ": ";
        if (saved.Out != live.Out || saved.Out.empty()) {
            const std::vector<std::string> a = Lines(live.Out), b = Lines(saved.Out);
            size_t i = 0;
            while (i < a.size() && i < b.size() && a[i] == b[i])
                ++i;
            return what + "line " + std::to_string(i) + " is \"" + (i < b.size() ? b[i] : "") + "\", not \""
                + (i < a.size() ? a[i] : "") + "\"; " + saved.Err;
        }
        if (sameStatus && (saved.Status != live.Status || Lines(saved.Err).size() != Lines(live.Err).size()))
            return what + "status " + std::to_string(saved.Status) + " with " + saved.Err + ", not "
                + std::to_string(live.Status) + " with " + live.Err;
    }
    return "";
}

// Odd names, links within and across folders, specials, a huge sparse file,
// ties of size everywhere, more files in a folder than a listing keeps, a
// deep chain, an unreadable folder and one that lists but cannot be looked
// into, and a folder to mount on. Files the test writes go to "out".
void MakeHostileTree(const TTempTree& t)
{
    std::string controls;
    for (char c = 1; c < 0x20; ++c)
        controls += c;
    t.File("tree/odd/" + controls + "\x7f\xff\"\\\xc3\xa9", 1234);
    t.File("tree/odd/sub\"\\\xfe/inside", 2345);
    t.Dir("tree/empty");
    t.File("tree/a/shared", 300000);
    t.Dir("tree/b");
    t.HardLink("tree/a/shared", "tree/b/one");
    t.HardLink("tree/a/shared", "tree/b/two");
    t.File("tree/b/pair", 70000);
    t.HardLink("tree/b/pair", "tree/b/pair2");
    t.Dir("tree/c");
    t.Fifo("tree/c/fifo");
    t.Link("../a/shared", "tree/c/link");
    t.File("tree/c/huge", 5000000000);
    for (const char* name : {"q", "p", "r", "s"})
        t.File(std::string("tree/same/") + name + "/f", 100000);
    for (int i = 0; i < 10050; ++i)
        t.File("tree/wide/f" + std::to_string(i), static_cast<uint64_t>(i % 7) * 1000);
    t.Dir("tree/deep");
    t.Chain("tree/deep", 300, "level", 5000);
    t.File("tree/shut/inside", 9999);
    t.File("tree/blind/inside", 4444);
    t.Dir("tree/mnt");
    chmod(t.Path("tree/shut").c_str(), 0);
    chmod(t.Path("tree/blind").c_str(), 0644);
    chmod(t.Dir("out").c_str(), 0777);
}

// As root: a tmpfs on tree/mnt in a mount namespace of this process alone.
bool MountInside(const TTempTree& t)
{
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0
        && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && mount("tmpfs", t.Path("tree/mnt").c_str(), "tmpfs", 0, nullptr) == 0;
}

// The body of the hostile round trip, in a child process.
std::string HostileRoundTrips(const TTempTree& t)
{
    const bool mounted = MountInside(t);
    if (mounted)
        WriteFile(t.Path("tree/mnt/hidden"), std::string(7777, 'x'));
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
        return "could not drop privileges";
    const std::string tree = t.Path("tree");
    const TBinaryRun exported = RunBinary({"--export", tree}, 120);
    const TBinaryRun report = RunBinary({"--report", tree}, 120);
    if (exported.Status != report.Status || exported.Err != report.Err || report.Status != 1)
        return "export: status " + std::to_string(exported.Status) + " with " + exported.Err
            + ", report: " + std::to_string(report.Status) + " with " + report.Err;
    const std::string plain = t.Path("out/scan.json");
    WriteFile(plain, exported.Out);
    WriteFile(plain + ".gz", Gzip(exported.Out));
    WriteFile(plain + ".zst", Zstd(exported.Out));
    if (mounted && exported.Out.find("\"excluded\":\"otherfs\"") == std::string::npos)
        return "the mount point is not written as another file system";
    for (const std::string& file : {plain, plain + ".gz", plain + ".zst"})
        if (std::string fault = SameReports(tree, file); !fault.empty())
            return fault;

    // The peers read it: ncdu writes it again the same, gdu adds up the same
    // (4096 bytes of its own for each folder).
    const std::string again = t.Path("out/ncdu.json");
    if (Have("ncdu")) {
        std::string said;
        if (!Shell("ncdu -f '" + plain + "' -o '" + again + "' 2>&1", &said))
            return "ncdu could not read the export: " + said;
        if (std::string fault = SameReports(tree, again); !fault.empty())
            return "ncdu's copy: " + fault;
    }
    if (Have("gdu")) {
        std::string total;
        if (!Shell("gdu -f '" + plain + "' -n -p --no-prefix -a -s 2>&1", &total))
            return "gdu could not read the export: " + total;
        TSizeTree sizes;
        const SavedScanResult saved = ReadSavedScan(plain, sizes, {});
        if (!saved.Root)
            return "the export does not read back";
        const uint64_t expected = static_cast<uint64_t>(saved.Root->Size())
            + 4096 * (uint64_t{saved.Root->Counts().Folders} + 1);
        if (std::strtoull(total.c_str(), nullptr, 10) != expected)
            return "gdu's total " + total + " is not " + std::to_string(expected);
    }
    return "";
}

TEST(SavedScanRoundTrip, ReportOfTheExportIsTheFoldersReport)
{
    TTempTree t;
    MakeHostileTree(t);
    EXPECT_EQ(InChild([&] { return HostileRoundTrips(t); }, 500), "");
}

// Without links, other file systems or odd names, the peers' files say what
// the folder holds.
TEST(SavedScanRoundTrip, PeersExportsReadAsTheFolder)
{
    TTempTree t;
    t.File("tree/a/f1", 1000);
    t.File("tree/a/b/f2", 250000);
    for (const char* name : {"d", "k", "e", "j"})  // ties, in whatever order each writes them
        t.File(std::string("tree/") + name + "/g", 250000);
    t.File("tree/loose", 12345678);
    t.Dir("tree/c");
    t.Chain("tree/c", 40, "down", 777);
    const std::string tree = t.Path("tree");
    const std::vector<std::string> peers = {"ncdu -x -o '%s' '" + tree + "'",
                                            "gdu -x -n -p -o '%s' '" + tree + "'"};
    int ran = 0;
    for (const std::string& peer : peers) {
        if (!Have(peer.substr(0, peer.find(' '))))
            continue;
        const std::string file = t.Path("peer.json");
        std::string command = peer;
        command.replace(command.find("%s"), 2, file);
        ASSERT_TRUE(Shell(command + " >/dev/null 2>&1")) << command;
        EXPECT_EQ(SameReports(tree, file), "") << command;
        ++ran;
    }
    if (ran == 0)
        GTEST_SKIP() << "neither ncdu nor gdu is installed (scripts/deps.sh test installs them)";
}

}  // namespace
