// The two figures a tree can show, apparent sizes and bytes on disk, over a
// hostile tree: both add up in every folder, the report's figure on disk is
// an independent walk's, and switching back gives the scan's own captions.
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/EntryWalk.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/Ordering.h"
#include "sizetree/ShownSizes.h"

namespace {

// Real bytes, so that the file takes blocks (TTempTree::File makes holes).
void WriteData(const std::string& path, size_t bytes)
{
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
}

// Under t/h: a 2 GB sparse file alone in its folder, 3,000 tiny files, a
// file linked from two folders and twice within one, a file with blocks and
// no size (where the file system allocates ahead), a FIFO, links to / and in
// a loop, names with a newline and invalid UTF-8, and a chain.
void BuildHostile(const TTempTree& t)
{
    t.File("h/sparse/disk.img", 2147483648ULL);
    const std::string tiny = t.Dir("h/tiny");
    for (int i = 0; i < 3000; ++i)
        WriteData(tiny + "/f" + std::to_string(i), 29);
    WriteData(t.Dir("h/links/a") + "/shared", 300000);
    t.Dir("h/links/b");
    t.HardLink("h/links/a/shared", "h/links/b/shared");
    t.HardLink("h/links/a/shared", "h/links/b/again");
    const int fd = open(t.Dir("h/ahead").append("/allocated").c_str(), O_WRONLY | O_CREAT, 0600);
    if (fd >= 0) {
        [[maybe_unused]] const int ignored = fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, 1 << 20);
        close(fd);
    }
    t.Dir("h/odd");
    t.Fifo("h/odd/fifo");
    t.Link("/", "h/odd/slash");
    t.Link("loop", "h/odd/loop");
    WriteData(t.Dir("h/odd/new\nline") + "/bad\xff\xfe", 5000);
    t.Dir("h/deep");
    t.Chain("h/deep", 200, "d", 7000);
}

// st_blocks x 512 of everything but folders below path on its file system,
// each file once, without the scan's code.
std::set<std::pair<dev_t, ino_t>> gSeen;
uint64_t gDiskBytes = 0;
int AddBlocks(const char*, const struct stat* st, int kind, FTW*)
{
    if (kind != FTW_D && kind != FTW_DNR && gSeen.insert({st->st_dev, st->st_ino}).second)
        gDiskBytes += static_cast<uint64_t>(st->st_blocks) * 512;
    return 0;
}
uint64_t WalkDiskBytes(const std::string& path)
{
    gSeen.clear();
    gDiskBytes = 0;
    nftw(path.c_str(), AddBlocks, 64, FTW_PHYS | FTW_MOUNT);
    return gDiskBytes;
}

// Every caption below root, depth first in tree order.
std::vector<std::string> AllCaptions(const TTreeEntry* root)
{
    std::vector<std::string> out;
    std::vector<const TTreeEntry*> pending{root};
    while (!pending.empty()) {
        const TTreeEntry* e = pending.back();
        pending.pop_back();
        out.push_back(e->Caption());
        for (int i = e->ChildCount(); i-- > 0;)
            pending.push_back(e->ChildAt(i));
    }
    return out;
}

TEST(ShownSizes, BothFiguresAddUpAndSwitchingBackGivesTheScansCaptions)
{
    TTempTree t;
    BuildHostile(t);
    TScanned s(t.Path("h"));
    ASSERT_EQ(CheckFinished(s.Tree, s.Root), "");
    const std::vector<std::string> scanned = AllCaptions(s.Root);
    EXPECT_EQ(Child(s.Root, "sparse")->Caption(), "    2147.5 MB  sparse");
    TTreeEntry* late = s.Tree.AddDerivedEntry(s.Root, "late <--", "late", 0, TPathKind::pkFolder);

    ShowSizes(s.Tree, SizeKind::Disk);
    EXPECT_EQ(CheckFinished(s.Tree, s.Root), "");
    EXPECT_EQ(s.Tree.OnCompare(), SortByDiskSize);
    EXPECT_EQ(s.Root->Counts().DiskBytes, WalkDiskBytes(t.Path("h")));
    EXPECT_EQ(late->Caption(), "late <--");  // its scan has not finished
    // The sparse file's FILES entry stays, showing 0 MB; the tiny files
    // take a block each.
    EXPECT_EQ(Child(s.Root, "sparse")->ChildAt(0)->Caption(), "         0 MB  [FILES]");
    EXPECT_GT(Child(s.Root, "tiny")->Counts().DiskBytes, 3000u * 512);
    EXPECT_EQ(s.Root->ChildAt(0)->Name(), "tiny");

    // Listed in disk mode, the files and their smaller rest show and sum
    // their blocks.
    TTreeEntry* files = Child(Child(s.Root, "tiny"), "");
    LooseFileListing listing = ListLooseFilesAt(PlanWalk(*files->Parent()), {}, 10);
    AddListedFiles(s.Tree, files, listing);
    ASSERT_EQ(files->ChildCount(), 11);
    uint64_t listed = 0;
    int rests = 0;
    for (int i = 0; i < files->ChildCount(); ++i) {
        const TTreeEntry* f = files->ChildAt(i);
        listed += f->Counts().DiskBytes;
        rests += f->IsSmallerFiles();
        EXPECT_EQ(f->Caption(), FolderCaptionText(static_cast<double>(f->Counts().DiskBytes), f->Name()));
    }
    EXPECT_EQ(listed, files->Counts().DiskBytes);
    EXPECT_EQ(rests, 1);
    EXPECT_TRUE(files->ChildAt(0)->IsSmallerFiles());  // 2,990 files' blocks, the largest
    while (files->ChildCount() > 0)
        s.Tree.DeleteEntry(files->ChildAt(0));

    s.Tree.DeleteEntry(late);
    ShowSizes(s.Tree, SizeKind::Apparent);
    EXPECT_EQ(s.Tree.OnCompare(), SortBySize);
    EXPECT_EQ(AllCaptions(s.Root), scanned);
    s.Tree.SetOnCompare(SortByName);  // a name order stays one
    ShowSizes(s.Tree, SizeKind::Disk);
    EXPECT_EQ(s.Tree.OnCompare(), SortByName);
}

TEST(ShownSizes, DiskUsageReportMatchesAnIndependentWalk)
{
    TTempTree t;
    BuildHostile(t);
    const uint64_t walked = WalkDiskBytes(t.Path("h"));
    const TBinaryRun disk = RunBinary({"--report", t.Root(), "--disk-usage", "--depth", "2"}, 120);
    ASSERT_EQ(disk.Status, 0) << disk.Err;
    const std::vector<std::string> lines = Lines(disk.Out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "  " + FolderCaptionText(static_cast<double>(walked), "h"));
    EXPECT_NE(lines[2].find("MB  tiny"), std::string::npos) << lines[2];  // largest on disk first
    EXPECT_NE(Lines(RunBinary({"--report", t.Root(), "--depth", "2"}, 120).Out).at(2).find("MB  sparse"),
              std::string::npos);

    // A saved scan gives the same from its "dsize"; one without any is refused.
    const TBinaryRun saved = RunBinary({"--export", t.Root()}, 120);
    ASSERT_EQ(saved.Status, 0) << saved.Err;
    std::ofstream(t.Path("saved.json")) << saved.Out;
    const TBinaryRun again = RunBinary({"--report", t.Path("saved.json"), "--disk-usage", "--depth", "2"},
                                       120);
    EXPECT_EQ(again.Out, disk.Out);
    std::ofstream(t.Path("plain.json"))
        << R"([1,2,{"progname":"x","progver":"1","timestamp":0},[{"name":"/p"},{"name":"f","asize":100}]])";
    EXPECT_EQ(RunBinary({"--report", t.Path("plain.json"), "--disk-usage"}, 60).Status, 2);
    EXPECT_EQ(RunBinary({"--report", t.Path("plain.json")}, 60).Status, 0);
}

}  // namespace
