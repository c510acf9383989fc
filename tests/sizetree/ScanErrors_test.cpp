// Folders that cannot be read are recorded with their reason and counted on
// every ancestor, with the sizes the scan has always given them; disk usage
// and counts agree with an independent walk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/Report.h"

namespace {

// "" when every folder's counts are the sums of its children's (a folder
// child adding itself, and itself when it could not be read); files of 0
// bytes make no FILES entry, so without one the folder may count more files.
std::string CheckCounts(const TTreeEntry* root)
{
    std::vector<const TTreeEntry*> stack{root};
    while (!stack.empty()) {
        const TTreeEntry* e = stack.back();
        stack.pop_back();
        EntryCounts sum;
        bool loose = false;
        for (int i = 0; i < e->ChildCount(); ++i) {
            const TTreeEntry* c = e->ChildAt(i);
            const bool folder = c->Name() != "";
            loose |= !folder;
            sum.DiskBytes += c->Counts().DiskBytes;
            sum.Files += c->Counts().Files;
            sum.Folders += c->Counts().Folders + (folder ? 1 : 0);
            sum.UnreadableBelow += c->Counts().UnreadableBelow + (c->ReadError() ? 1 : 0);
            stack.push_back(c);
        }
        const EntryCounts& got = e->Counts();
        if (e->Name() != "" || !e->Parent())
            if (got.DiskBytes != sum.DiskBytes || got.Folders != sum.Folders
                || got.UnreadableBelow != sum.UnreadableBelow
                || (loose ? got.Files != sum.Files : got.Files < sum.Files))
                return "counts of " + e->Path() + " are not the sums of its children's";
    }
    return "";
}

// Runs as nobody (see InChild): the scan by both engines, then the report.
std::string ScanUnreadable(const TTempTree& t)
{
    const std::string& r = t.Root();
    const std::set<std::string> shut = {r + "/a/b/shut", r + "/a/listable", r + "/a/listable/sub",
                                        r + "/search"};
    for (TEngine engine : {TEngine::Sequential, TEngine::ReadAhead}) {
        const std::string which = engine == TEngine::Sequential ? "sequential: " : "read-ahead: ";
        std::vector<std::string> failed;
        ScanProgress progress;
        TScanHooks hooks;
        hooks.ReadFailed = [&](const TTreeEntry& e) { failed.push_back(e.Path()); };
        hooks.Progress = &progress;
        TScanned s(r, hooks, engine);
        if (std::set<std::string>(failed.begin(), failed.end()) != shut || failed.size() != shut.size())
            return which + "folders told as unreadable: " + std::to_string(failed.size());
        for (const std::string& p : shut) {
            const TTreeEntry* e = FindEntry(s.Tree, p);
            if (!e || e->ReadError() != EACCES)
                return which + p + " is not recorded as denied";
            if (std::string(ReadErrorText(e->ReadError())) != "Permission denied")
                return which + "reason text " + ReadErrorText(e->ReadError());
        }
        // Sizes as ever: the unreadable folders add nothing.
        const TTreeEntry* a = Child(s.Root, "a");
        if (s.Root->Size() != 301000 || Child(a, "b")->Size() != 1000 || Child(a, "listable")->Size() != 0)
            return which + "sizes changed";
        if (Child(Child(a, "b"), "shut")->ChildCount() != 0)
            return which + "the shut folder has children";
        const std::pair<const TTreeEntry*, uint32_t> below[] = {
            {s.Root, 4}, {a, 3}, {Child(a, "b"), 1}, {Child(a, "listable"), 1}, {Child(s.Root, "open"), 0}};
        for (auto [e, n] : below)
            if (e->Counts().UnreadableBelow != n)
                return which + e->Path() + ": " + std::to_string(e->Counts().UnreadableBelow)
                    + " unreadable below, not " + std::to_string(n);
        if (progress.Unreadable != 4 || progress.Bytes != 301000 || progress.Files != s.Root->Counts().Files
            || progress.Folders != s.Root->Counts().Folders)
            return which + "progress totals differ from the root's";
        std::string fault = CheckCounts(s.Root);
        if (fault.empty())
            fault = CheckFinished(s.Tree, s.Root);
        if (!fault.empty())
            return which + fault;
    }

    std::ostringstream out, err;
    ReportOptions options;
    options.Path = r;
    options.ByName = true;
    const int status = RunReport(options, out, err);
    if (status != 1)
        return "report status " + std::to_string(status);
    std::set<std::string> lines;
    for (const std::string& line : Lines(err.str()))
        lines.insert(line);
    for (const std::string& p : shut)
        if (!lines.count("tallowin: cannot read '" + p + "': Permission denied"))
            return "report error lines:\n" + err.str();
    if (Lines(err.str()).size() != shut.size())
        return "report error lines:\n" + err.str();
    // Standard output as it always was: the unreadable folders at 0 MB.
    auto line = [](int level, const std::string& mb, const std::string& name) {
        return std::string(2 * level, ' ') + std::string(10 - mb.size(), ' ') + mb + " MB  " + name + "\n";
    };
    const std::string expected = r + "\n" + line(1, "0", "a") + line(2, "0", "b") + line(3, "0", "ok")
        + line(4, "0", "[FILES]") + line(3, "0", "shut") + line(2, "0", "listable") + line(3, "0", "sub")
        + line(1, "0.3", "open") + line(2, "0.3", "[FILES]") + line(1, "0", "search");
    if (out.str() != expected)
        return "report output:\n" + out.str();
    return "";
}

// As root every folder is readable: the scan runs as another user.
TEST(ScanErrors, UnreadableFoldersAreRecordedOnEveryAncestor)
{
    TTempTree t;
    t.File("open/f", 300000);
    t.File("a/b/shut/f", 700000);
    t.Dir("a/b/shut/inner");
    t.File("a/b/ok/f", 1000);
    t.File("a/listable/f", 1000);  // names readable, nothing under it reachable
    t.Dir("a/listable/sub");
    t.File("search/sub/f", 2000);  // reachable, not listable
    ASSERT_EQ(chmod(t.Path("a/b/shut").c_str(), 0), 0);
    ASSERT_EQ(chmod(t.Path("a/listable").c_str(), 0444), 0);
    ASSERT_EQ(chmod(t.Path("search").c_str(), 0111), 0);
    EXPECT_EQ(InChild([&] { return ScanUnreadable(t); }, 60, true), "");
}

// Sequential, so that the callback runs just before each folder is opened:
// "gone" vanishes then; below l1/l2/l3 two deep chains p and q, and when the
// first one's bottom starts, l1 is replaced by a look-alike, so the second
// is reached through a folder that is no longer the one listed.
TEST(ScanErrors, VanishedAndReplacedFoldersAreRecorded)
{
    TTempTree t;
    t.File("gone/x/f", 5000);
    t.File("keep/f", 1000);
    for (const char* side : {"l1/l2/l3/p", "l1/l2/l3/q"}) {
        t.Dir(side);
        t.Chain(side, 12, "c", 100);
    }
    ScanProgress progress;
    bool replaced = false;
    TScanHooks hooks;
    hooks.Progress = &progress;
    hooks.EventInterval = {};
    hooks.ProcessPendingMessages = [&] {
        const TTreeEntry* e = progress.Current;
        if (e->Name() == "gone")
            std::filesystem::remove_all(t.Path("gone"));
        int depth = 0;
        for (const TTreeEntry* a = e; a->Parent(); a = a->Parent())
            ++depth;
        if (!replaced && depth == 16) {
            replaced = true;
            ASSERT_EQ(rename(t.Path("l1").c_str(), t.Path("l1-was").c_str()), 0);
            t.Dir("l1/l2/l3/p");
            t.Dir("l1/l2/l3/q");
        }
    };
    TScanned s(t.Root(), hooks, TEngine::Sequential);
    ASSERT_TRUE(replaced);
    const TTreeEntry* gone = Child(s.Root, "gone");
    EXPECT_EQ(gone->ReadError(), ENOENT);
    EXPECT_STREQ(ReadErrorText(gone->ReadError()), "Vanished while scanned");
    const TTreeEntry* l3 = Child(Child(Child(s.Root, "l1"), "l2"), "l3");
    const TTreeEntry* p = Child(l3, "p");
    const TTreeEntry* q = Child(l3, "q");
    const TTreeEntry* second = p->ReadError() ? p : q;
    const TTreeEntry* first = p->ReadError() ? q : p;
    EXPECT_EQ(second->ReadError(), kReadReplaced);
    EXPECT_STREQ(ReadErrorText(kReadReplaced), "Replaced while scanned");
    EXPECT_EQ(first->ReadError(), 0);
    EXPECT_EQ(first->Size(), 100);
    EXPECT_EQ(first->Counts().Folders, 12u);
    EXPECT_EQ(second->Size(), 0);
    for (const TTreeEntry* e = l3; e; e = e->Parent())
        EXPECT_EQ(e->Counts().UnreadableBelow, e == s.Root ? 2u : 1u) << e->Path();
    EXPECT_EQ(s.Root->Size(), 1100);
    EXPECT_EQ(progress.Unreadable, 2u);
    EXPECT_EQ(CheckCounts(s.Root), "");
    EXPECT_EQ(CheckFinished(s.Tree, s.Root), "");
}

// Disk usage and counts against nftw: blocks x 512 of every file, each
// hard-linked file once, on sparse files, written files and links, by both
// engines; a sparse 5 TB file is 5 TB apparent and next to nothing on disk.
TEST(ScanErrors, DiskUsageAgreesWithAnIndependentWalk)
{
    TTempTree t;
    const uint64_t huge = uint64_t{5} << 40;
    if (truncate(t.File("sparse/huge", 0).c_str(), static_cast<off_t>(huge)) != 0)
        GTEST_SKIP() << "no 5 TB sparse files here";
    for (int i = 0; i < 4; ++i)
        t.Dir("w" + std::to_string(i));
    for (int i = 0; i < 30; ++i) {
        const std::string rel = "w" + std::to_string(i % 4) + "/f" + std::to_string(i);
        const int fd = open(t.File(rel, 0).c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::string data(static_cast<size_t>(i) * 3001 + 1, 'x');
        ASSERT_EQ(write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
        close(fd);
        if (i % 5 == 0)
            t.HardLink(rel, "w" + std::to_string((i + 1) % 4) + "/h" + std::to_string(i));
        if (i % 7 == 0)
            t.File("sparse/s" + std::to_string(i), uint64_t{1} << (20 + i % 10));
    }
    t.Link("w0/f0", "w1/link");

    static uint64_t blocks;
    static uint32_t files;
    static uint32_t folders;
    static std::set<std::pair<dev_t, ino_t>> seen;
    blocks = files = folders = 0;
    seen.clear();
    auto visit = [](const char*, const struct stat* st, int flag, FTW*) {
        if (flag == FTW_D)
            ++folders;
        else if (st->st_nlink < 2 || seen.insert({st->st_dev, st->st_ino}).second) {
            blocks += static_cast<uint64_t>(st->st_blocks) * 512;
            ++files;
        }
        return 0;
    };
    ASSERT_EQ(nftw(t.Root().c_str(), visit, 16, FTW_PHYS | FTW_MOUNT), 0);
    for (TEngine engine : {TEngine::Sequential, TEngine::ReadAhead}) {
        ScanProgress progress;
        TScanHooks hooks;
        hooks.Progress = &progress;
        TScanned s(t.Root(), hooks, engine);
        const EntryCounts& c = s.Root->Counts();
        EXPECT_EQ(c.DiskBytes, blocks);
        EXPECT_EQ(c.Files, files);
        EXPECT_EQ(c.Folders + 1, folders);
        EXPECT_EQ(c.UnreadableBelow, 0u);
        EXPECT_EQ(progress.DiskBytes, blocks);
        EXPECT_EQ(progress.Bytes, s.Root->Size());
        const TTreeEntry* sparse = Child(Child(s.Root, "sparse"), "");
        EXPECT_GE(sparse->Size(), static_cast<double>(huge));
        EXPECT_LT(sparse->Counts().DiskBytes, uint64_t{1} << 20);
        EXPECT_EQ(CheckCounts(s.Root), "");
    }
}

}  // namespace
