// Sparse files far larger than the disk: a 5 TB file, and a folder of 500 TB
// whose caption count no longer fits 32 bits. They cost no blocks.
#include <gtest/gtest.h>

#include <string>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"

namespace {

constexpr uint64_t kFiveTB = 5000000000000ULL;

TEST(HostileSizes, SparseFiveTerabyteFile)
{
    TTempTree t;
    t.Dir("vm");
    t.File("vm/disk.img", kFiveTB);
    TScanned s(t.Root());
    const TTreeEntry* vm = Child(s.Root, "vm");
    ASSERT_NE(vm, nullptr);
    ASSERT_EQ(vm->ChildCount(), 1);
    EXPECT_EQ(vm->ChildAt(0)->Caption(), "   5000000 MB  [FILES]");
    EXPECT_EQ(vm->Caption(), "   5000000 MB  vm");
    EXPECT_EQ(s.Root->Size(), static_cast<double>(kFiveTB));
}

// 100 files of 5 TB in one folder, and in a second folder one more byte:
// 5 x 10^14 bytes is 5 x 10^9 tenths of a megabyte.
TEST(HostileSizes, FiveHundredTerabyteFolderThroughTheReport)
{
    TTempTree t;
    t.Dir("a");
    t.Dir("b");
    for (int i = 0; i < 100; ++i) {
        t.File("a/f" + std::to_string(i), kFiveTB);
        t.File("b/f" + std::to_string(i), kFiveTB + (i == 0 ? 50001 : 0));
    }
    const TBinaryRun run = RunBinary({"--report", t.Root()}, 60);
    ASSERT_FALSE(run.TimedOut);
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::vector<std::string> expected = {
        t.Root(),
        "  500000000.1 MB  b",
        "    500000000.1 MB  [FILES]",
        "   500000000 MB  a",
        "     500000000 MB  [FILES]",
    };
    EXPECT_EQ(Lines(run.Out), expected);
}

}  // namespace
