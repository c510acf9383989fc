// `--changes` on a table of edits between two trees, from folders and from
// saved scans alike; the change of single entries; its refusals.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempTree.h"
#include "app/CommandLine.h"
#include "history/ChangesReport.h"
#include "history/Comparison.h"
#include "history/SavedSnapshot.h"
#include "savedscan/Export.h"
#include "sizetree/Listing.h"
#include "sizetree/Ordering.h"
#include "sizetree/Scan.h"

namespace {

// old/ and new/ differ by: a file added (a), a folder removed (b), a folder
// moved (m/x to n/x), a growth and a shrinking that round to 0 MB (r, s),
// and two equal growths (t1, t2).
struct EditedTrees {
    TTempTree t;
    EditedTrees()
    {
        for (const char* side : {"old", "new"}) {
            const std::string s = side;
            const bool now = s == "new";
            t.File(s + "/a/f", 1000000);
            if (now)
                t.File(s + "/a/g", 5000000);
            else
                t.File(s + "/b/big", 3000000);
            t.File(s + (now ? "/n/x/f" : "/m/x/f"), 2000000);
            if (now)
                t.Dir(s + "/m");
            t.File(s + "/r/f", now ? 1040000 : 1000000);
            t.File(s + "/s/f", now ? 970000 : 1000000);
            t.File(s + "/t1/f", now ? 1200000 : 500000);
            t.File(s + "/t2/f", now ? 1200000 : 500000);
            std::ofstream saved(t.Path(s + ".json"));
            std::ostringstream err;
            ExportOptions options;
            options.Path = t.Path(s);
            RunExport(options, saved, err);
        }
    }
};

TEST(Changes, EditsGiveExactlyTheirLinesFromFoldersAndSavedScans)
{
    EditedTrees e;
    const std::string o = e.t.Path("old"), n = e.t.Path("new");
    const std::string lines[][2] = {
        {"+5 MB", n + "/a"},     // a file added
        {"+3.4 MB", n},          // the root: everything together
        {"-3 MB", o + "/b"},     // removed: under the old root
        {"-2 MB", n + "/m"},     // moved out of m ...
        {"+2 MB", n + "/n"},     // ... into the new n, listed once
        {"-2 MB", o + "/m/x"},   // ties: by the path's bytes
        {"+0.7 MB", n + "/t1"},  // equal changes
        {"+0.7 MB", n + "/t2"},  // by path
        {"+0 MB", n + "/r"},     // rounds to 0, grew
        {"-0 MB", n + "/s"},     // rounds to 0, shrank
    };
    std::string expected;
    for (const auto& [figure, path] : lines)
        expected += figure + "  " + path + "\n";
    for (const auto& [from, to] :
         {std::pair{o, n}, std::pair{o + ".json", n + ".json"}, std::pair{o + ".json", n}}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunChanges(ChangesOptions{from, to}, out, err), 0) << from << " " << to;
        EXPECT_EQ(out.str(), expected) << from << " " << to;
        EXPECT_EQ(err.str(), "");
    }
    std::ostringstream out, err;
    const LauncherOutcome top = RunCommandLine({"--changes", o, "--top", "2", "--", n}, out, err);
    EXPECT_EQ(top.Status, 0);
    EXPECT_EQ(out.str(), "+5 MB  " + n + "/a\n+3.4 MB  " + n + "\n");
}

// What the window asks of one entry: a folder's totals then and now, a
// FILES entry's loose files, a folder that is new.
TEST(Changes, ChangeOfOneEntry)
{
    EditedTrees e;
    const SavedSnapshot then = SnapshotOfSavedScan(e.t.Path("old.json"));
    ASSERT_TRUE(then.Snapshot);
    TSizeTree tree;
    tree.SetOnCompare(SortBySize);
    TTreeEntry* root = tree.AddChildEntry(nullptr, e.t.Path("new"), TNode{e.t.Path("new"), 0, ""});
    ScanFolder(tree, root, TScanHooks{});
    const auto named = [&](const TTreeEntry* parent, const std::string& name) -> const TTreeEntry* {
        for (int i = 0; i < parent->ChildCount(); ++i)
            if (parent->ChildAt(i)->Name() == name)
                return parent->ChildAt(i);
        return nullptr;
    };
    const TTreeEntry* a = named(root, "a");
    const TTreeEntry* files = a->ChildAt(0)->IsFiles() ? a->ChildAt(0) : nullptr;
    ASSERT_TRUE(files);
    const EntryChange folder = ChangeOfEntry(*then.Snapshot, *a);
    EXPECT_TRUE(folder.Known && !folder.New);
    EXPECT_EQ(folder.Then.Apparent, 1000000u);
    EXPECT_EQ(folder.Now.Apparent, 6000000u);
    const EntryChange loose = ChangeOfEntry(*then.Snapshot, *files);
    EXPECT_TRUE(loose.Known && !loose.New);
    EXPECT_EQ(loose.Then.Apparent, 1000000u);
    EXPECT_EQ(loose.Now.Apparent, 6000000u);
    const EntryChange moved = ChangeOfEntry(*then.Snapshot, *named(named(root, "n"), "x"));
    EXPECT_TRUE(moved.Known && moved.New);
    EXPECT_EQ(ChangeOfEntry(*then.Snapshot, *root).Then.Apparent, 9000000u);
}

// Refusals: one line on standard error, status 2, nothing on standard output.
TEST(Changes, RefusesBadInputWithOneLine)
{
    TTempTree t;
    const std::string folder = t.Dir("f");
    const std::string bad = t.File("bad.json", 0);
    std::ofstream(bad) << "[1,2,{},[{\"name\":\"/x\"}";
    const std::vector<std::vector<std::string>> cases = {
        {"--changes", folder, bad},
        {"--changes", bad, folder},
        {"--changes", folder, t.Path("missing")},
        {"--changes", folder},
        {"--changes", folder, folder, folder},
        {"--changes", folder, folder, "--top"},
        {"--changes", folder, folder, "--top", "-1"},
        {"--changes", folder, folder, "--by-name"},
        {"--changes", folder, folder, "--report"},
        {"--top", "3", folder},
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine(args, out, err).Status, 2) << args.back();
        EXPECT_EQ(out.str(), "");
        ASSERT_FALSE(err.str().empty()) << args.back();
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    }
    // A folder a file marks unreadable: one line each and status 1, but
    // none when the other side is no saved scan at all.
    const std::string marked = t.File("marked.json", 0);
    std::ofstream(marked) << "[1,2,{},[{\"name\":\"/x\"},[{\"name\":\"a\",\"read_error\":true}]]]";
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--changes", marked, marked}, out, err).Status, 1);
    const std::string line = std::string("tallowin: cannot read '/x/a': ") + ReadErrorText(kReadWhenSaved)
        + "\n";
    EXPECT_EQ(err.str(), line + line);  // OLD's, then NEW's
    err.str("");
    EXPECT_EQ(RunCommandLine({"--changes", marked, bad}, out, err).Status, 2);
    EXPECT_EQ(err.str().rfind("tallowin: " + bad + ": not a saved scan: ", 0), 0u) << err.str();
    EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(RunCommandLine({"--no-history", folder}, out, err).StartWindow);
}

}  // namespace
