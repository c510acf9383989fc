// The report of a saved scan prints large subtrees as they end and drops
// their entries; over whole random trees, every order and depth, its text
// must be the text of the finished tree printed at the end, and its sums
// those the file holds.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "TempTree.h"
#include "savedscan/SavedReport.h"
#include "savedscan/SavedScan.h"
#include "savedscan/ScanWriter.h"

namespace {

// Wide levels, chains deep enough to keep text of their own below the root's
// children, sizes with ties, files between subfolders, linked files (counted
// once) and folders on another file system. total: the bytes counted.
std::string RandomScan(unsigned seed, uint64_t& total)
{
    std::mt19937 rng(seed);
    const auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::ostringstream out;
    ScanWriter w(out);
    w.Begin("1", 0);
    w.OpenFolder("/r", SavedFolderFacts{true, 7, false});
    total = 0;
    uint64_t inode = 1, counted = 0;
    struct Open {
        int Left;   // elements still to write
        int Chain;  // > 0: the one element is a folder, the chain goes on
    };
    std::vector<Open> open{{60, 0}};
    while (!open.empty()) {
        if (open.back().Left-- == 0) {
            w.CloseFolder();
            open.pop_back();
            continue;
        }
        const int depth = static_cast<int>(open.size());
        const int pick = open.back().Chain > 0 ? 0 : below(10);
        const std::string name = "n" + std::to_string(below(30));  // repeats: ties by name too
        if (pick < 3 && depth < 400) {
            w.OpenFolder(name + "d" + std::to_string(open.back().Left), {});
            const int chain = open.back().Chain;
            if (chain > 1)
                open.push_back({1, chain - 1});
            else if (below(12) == 0)  // a chain a long way down
                open.push_back({1, 20 + below(150)});
            else
                open.push_back({below(depth < 4 ? 20 : 5), 0});
        } else if (pick == 3) {
            const uint64_t size = static_cast<uint64_t>(below(3)) * 4096;
            w.File(name + "l" + std::to_string(open.back().Left),
                   SavedFileFacts{size, size, 2, inode, false, 0});
            if (inode != counted)  // its first appearance counts
                total += size;
            counted = inode;
            inode += below(2);
        } else if (pick == 4) {
            w.OtherFileSystem(name + "m" + std::to_string(open.back().Left), 9);
        } else {
            const uint64_t size = static_cast<uint64_t>(below(4)) * 1000 + (below(2) ? 0 : 1u << 20);
            total += size;
            w.File(name + "f" + std::to_string(open.back().Left),
                   SavedFileFacts{size, size + 512, 1, 0, false, 0});
        }
    }
    EXPECT_TRUE(w.End());
    return out.str();
}

// A chain so deep that its indentation makes its text outgrow what may be
// kept ahead: the rest is printed from the tree at the end.
std::string DeepChain(int levels, uint64_t& total)
{
    std::string text = "[1,2,{},[{\"name\":\"/deep\"}";
    for (int i = 0; i < levels; ++i)
        text += ",[{\"name\":\"d\"},{\"name\":\"f\",\"asize\":" + std::to_string(i) + "}";
    text += std::string(static_cast<size_t>(levels), ']') + "]]";
    total = static_cast<uint64_t>(levels) * (levels - 1) / 2;
    return text;
}

TEST(SavedScanPrintedAhead, SameTextAsTheFinishedTreeEveryOrderAndDepth)
{
    TTempTree t;
    for (unsigned seed = 0; seed <= 6; ++seed) {
        uint64_t total = 0;
        const std::string text = seed == 0 ? DeepChain(3500, total) : RandomScan(seed, total);
        const std::string file = t.Path("scan" + std::to_string(seed) + ".json");
        std::ofstream(file, std::ios::binary) << text;
        for (const bool byName : {false, true}) {
            for (const int depth : {-1, 0, 1, 2, 3, 7}) {
                ReportOptions options;
                options.Path = file;
                options.ByName = byName;
                options.Depth = depth;
                std::ostringstream ahead, aheadErr;
                ASSERT_EQ(RunSavedReport(options, ahead, aheadErr), 0) << aheadErr.str();

                TSizeTree tree;
                PrepareReportTree(tree, options);
                const SavedScanResult whole = ReadSavedScanBytes(text, tree, {});
                ASSERT_TRUE(whole.Root);
                EXPECT_EQ(whole.Root->Size(), static_cast<double>(total));
                std::ostringstream atEnd, atEndErr;
                PrintReport(tree, *whole.Root, options, {}, false, atEnd, atEndErr);
                EXPECT_EQ(ahead.str(), atEnd.str())
                    << "seed " << seed << " depth " << depth << " by name " << byName;
                EXPECT_GT(atEnd.str().size(), 0u);
            }
        }
    }
}

}  // namespace
