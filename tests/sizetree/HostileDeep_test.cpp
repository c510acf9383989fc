// A tree 10,000 levels deep with names of 255 bytes: paths of 2.5 MB, far
// beyond PATH_MAX, through the real program's report mode and the tree's
// own deletion and re-sort.
#include <gtest/gtest.h>

#include <string>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/Ordering.h"

namespace {

constexpr int kLevels = 10000;
constexpr uint64_t kLeafBytes = 4321000;

// 127 two-byte letters and one more byte: 255 bytes of valid UTF-8.
std::string LongName()
{
    std::string name;
    for (int i = 0; i < 127; ++i)
        name += "\xc3\xa9";
    return name + "z";
}

TEST(HostileDeep, ReportOfTenThousandLevelsOfLongNames)
{
    const std::string name = LongName();
    ASSERT_EQ(name.size(), 255u);
    TTempTree t;
    t.Dir("top");
    t.Chain("top", kLevels, name, kLeafBytes);
    t.File("beside", 1);
    for (const char* order : {"--by-size", "--by-name"}) {
        const TBinaryRun run = RunBinary({"--report", order, "--depth", "4", t.Root()}, 300);
        ASSERT_FALSE(run.TimedOut) << order;
        ASSERT_EQ(run.Status, 0) << order << ": " << run.Err;
        const std::vector<std::string> lines = Lines(run.Out);
        const std::string top = "       4.3 MB  top";
        const std::string files = "         0 MB  [FILES]";
        const std::vector<std::string> bySize = {
            t.Root(),
            "  " + top,
            "    " + std::string("       4.3 MB  ") + name,
            "      " + std::string("       4.3 MB  ") + name,
            "        " + std::string("       4.3 MB  ") + name,
            "  " + files,
        };
        if (std::string(order) == "--by-size") {
            EXPECT_EQ(lines, bySize);
        } else {
            // "" (the FILES entry) sorts before any name.
            std::vector<std::string> byName = bySize;
            byName.erase(byName.begin() + 5);
            byName.insert(byName.begin() + 1, "  " + files);
            EXPECT_EQ(lines, byName);
        }
    }
}

// The scanned deep tree re-sorts, shows the deepest path in full, and is
// deleted entry by entry without running out of stack.
TEST(HostileDeep, DeepTreeResortsAndDeletes)
{
    const std::string name = LongName();
    TTempTree t;
    t.Dir("top");
    t.Chain("top", kLevels, name, kLeafBytes);
    TScanned s(t.Root());
    int finished = 0;
    ASSERT_EQ(CheckFinished(s.Tree, s.Root, &finished), "");
    EXPECT_EQ(finished, kLevels + 2);
    const TTreeEntry* deepest = s.Root;
    while (deepest->ChildCount() > 0 && !deepest->ChildAt(0)->Name().empty())
        deepest = deepest->ChildAt(0);
    EXPECT_EQ(deepest->Path().size(), t.Root().size() + 4 + kLevels * 256u);
    EXPECT_EQ(deepest->Size(), kLeafBytes);

    s.Tree.SetOnCompare(SortByName);
    SortSubtree(s.Tree, s.Root);
    EXPECT_EQ(CheckFinished(s.Tree, s.Root), "");
    s.Tree.DeleteEntry(s.Root->ChildAt(0));
    EXPECT_EQ(s.Root->ChildCount(), 0);
}

}  // namespace
