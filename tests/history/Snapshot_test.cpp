// Snapshots: a tree of odd names survives its file byte for byte and
// compares equal to itself; damaged bytes are refused with a reason; the
// signed figure and the date text at their edges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "TempTree.h"
#include "history/ChangeText.h"
#include "history/Comparison.h"
#include "history/SavedSnapshot.h"
#include "history/SnapshotFile.h"
#include "savedscan/SavedScan.h"
#include "sizetree/Ordering.h"
#include "sizetree/Scan.h"

namespace {

TEST(Snapshot, OddTreeRoundTripsAndEveryEntryIsFound)
{
    TTempTree t;
    t.File(std::string("tree/\x01\x7f\xff\"\\\xc3\xa9/f"), 1234);
    for (const char* name : {"a", "a b", "ab", "B", "\xff", "a\xc3\xa9"})
        t.File(std::string("tree/names/") + name + "/f", 100000);
    t.Dir("tree/empty");
    t.File("tree/files/one", 5000);
    t.Dir("tree/deep");
    t.Chain("tree/deep", 200, "level", 7000);
    TSizeTree tree;
    tree.SetOnCompare(SortBySize);  // not the snapshot's order
    TTreeEntry* root = tree.AddChildEntry(nullptr, t.Path("tree"), TNode{t.Path("tree"), 0, ""});
    ScanFolder(tree, root, TScanHooks{});

    const FolderSnapshot snapshot = SnapshotOfTree(*root, 1700000000);
    EXPECT_EQ(snapshot.Count(), root->Counts().Folders + 1u);
    const std::string bytes = EncodeSnapshot(snapshot);
    const SnapshotDecodeResult decoded = DecodeSnapshot(bytes);
    ASSERT_TRUE(decoded.Snapshot) << decoded.Fault.Reason;
    const FolderSnapshot& back = *decoded.Snapshot;
    EXPECT_EQ(back.RootPath(), root->Path());
    EXPECT_EQ(back.ScanTime(), 1700000000);
    EXPECT_EQ(back.Names(), snapshot.Names());
    EXPECT_EQ(EncodeSnapshot(back), bytes);
    EXPECT_TRUE(CompareSnapshots(snapshot, back).empty());

    // Every folder and FILES entry: found, unchanged, at its own path.
    std::vector<const TTreeEntry*> pending{root};
    size_t folders = 0;
    while (!pending.empty()) {
        const TTreeEntry* e = pending.back();
        pending.pop_back();
        for (int i = 0; i < e->ChildCount(); ++i)
            pending.push_back(e->ChildAt(i));
        const EntryChange c = ChangeOfEntry(back, *e);
        ASSERT_TRUE(c.Known && !c.New) << e->Path();
        EXPECT_EQ(c.Then, c.Now) << e->Path();
        if (!e->IsFiles()) {
            ++folders;
            EXPECT_EQ(back.PathOf(*back.Find(NamesBelowRoot(*e))), e->Path());
        }
    }
    EXPECT_EQ(folders, snapshot.Count());
    EXPECT_FALSE(back.Find("names/a/x"));
    EXPECT_TRUE(back.Find("names/a\xc3\xa9"));
}

// Read straight from a saved scan, a snapshot is the one of the tree the
// reader builds: links counted once per device, a folder not entered,
// folders marked unreadable, names out of order.
TEST(Snapshot, SavedScanReadsAsItsTreeDoes)
{
    TTempTree t;
    const std::string file = t.File("saved.json", 0);
    std::ofstream(file) << R"([1,2,{"progname":"x","progver":"1","timestamp":1700000000},
[{"name":"/srv","dev":7},{"name":"top","asize":10,"dsize":512},
 [{"name":"z"},{"name":"h","asize":1000,"dsize":4096,"ino":5,"nlink":2}],
 [{"name":"a","read_error":true},{"name":"h2","asize":1000,"dsize":4096,"ino":5,"nlink":2},
  {"name":"f","asize":7}],
 {"name":"mnt","excluded":"otherfs"},
 [{"name":"m","dev":9},{"name":"h","asize":1000,"dsize":4096,"ino":5,"nlink":2}]]])";
    std::vector<std::string> unreadable;
    const SavedSnapshot direct = SnapshotOfSavedScan(file,
                                                     [&](const std::string& p) { unreadable.push_back(p); });
    ASSERT_TRUE(direct.Snapshot);
    TSizeTree tree;
    const SavedScanResult saved = ReadSavedScan(file, tree, SavedScanOptions{});
    ASSERT_TRUE(saved.Root);
    EXPECT_TRUE(*direct.Snapshot == SnapshotOfTree(*saved.Root, 1700000000));
    EXPECT_EQ(direct.Snapshot->At(0).Totals, (FolderTotals{2017, 8704}));
    EXPECT_EQ(unreadable, std::vector<std::string>{"/srv/a"});
    EXPECT_EQ(SnapshotOfSavedScan(t.Path("missing")).Fault->Errno, ENOENT);
}

TEST(Snapshot, DamagedBytesAreRefusedWithAReason)
{
    FolderSnapshot s("/r", 5);
    const size_t root = s.Open("", {30, 40});
    for (const char* name : {"a", "b", "c"})
        s.Close(s.Open(name, {10, 12}));
    s.Close(root);
    const std::string good = EncodeSnapshot(s);
    ASSERT_TRUE(DecodeSnapshot(good).Snapshot);
    std::string version = good, header = good, body = good;
    version[8] = 2;
    header[45] ^= 1;  // the root path
    body[body.size() - 6] ^= 0x10;
    const struct {
        std::string Bytes;
        const char* Reason;
    } cases[] = {
        {"", "not a remembered scan"},
        {"[1,2,{}]", "not a remembered scan"},
        {good.substr(0, 30), "truncated header"},
        {version, "version 2, not known"},
        {header, "damaged header"},
        {good.substr(0, good.size() - 3), "truncated body"},
        {good + "x", "bytes after the body"},
    };
    for (const auto& c : cases) {
        const SnapshotDecodeResult r = DecodeSnapshot(c.Bytes);
        EXPECT_FALSE(r.Snapshot);
        EXPECT_EQ(r.Fault.Reason, c.Reason);
    }
    const SnapshotDecodeResult r = DecodeSnapshot(body);
    EXPECT_FALSE(r.Snapshot);
    EXPECT_EQ(r.Fault.Reason.rfind("damaged body", 0), 0u) << r.Fault.Reason;
}

TEST(ChangeText, SignedFigureAndDate)
{
    const struct {
        SizeChange Change;
        const char* Text;
    } figures[] = {
        {{false, 5000000}, "+5 MB"},   {{true, 3000000}, "-3 MB"},
        {{false, 2500000}, "+2.5 MB"}, {{false, 50000}, "+0 MB"},
        {{true, 49999}, "-0 MB"},      {{true, 150000}, "-0.2 MB"},
        {{false, 0}, "+0 MB"},         {{false, 12345678900000}, "+12345678.9 MB"},
    };
    for (const auto& f : figures)
        EXPECT_EQ(SignedSizeFigure(f.Change), f.Text);
    EXPECT_EQ(ChangeBetween(7, 5).Decrease, true);
    EXPECT_EQ(ChangeBetween(5, 7).Bytes, 2u);

    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const int64_t when = 1764770520;  // 2025-12-03 14:02 UTC
    EXPECT_EQ(ScanDateText(when, when + 86400), "3 Dec 14:02");
    EXPECT_EQ(ScanDateText(when, when + 40 * 86400), "3 Dec 2025 14:02");
    EXPECT_EQ(ScanDateText(0, when), "");
    if (zone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
