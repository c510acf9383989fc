// The writer and the reader together, in memory: names of every byte come
// back as they went, whatever the nesting; a stop midway and the folders a
// file marks unreadable.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "savedscan/SavedScan.h"
#include "savedscan/ScanWriter.h"
#include "sizetree/Listing.h"

namespace {

// Every byte but NUL and "/" in folder and file names: a folder per byte
// holding a file and an empty folder named by it too.
std::string EveryByteScan()
{
    std::ostringstream out;
    ScanWriter w(out);
    w.Begin("1", 0);
    w.OpenFolder("/r\\\"oot\n", {});
    for (int c = 1; c < 256; ++c) {
        if (c == '/')
            continue;
        const std::string name(1, static_cast<char>(c));
        w.OpenFolder(name + "d", {});
        w.File(name + "f", SavedFileFacts{static_cast<uint64_t>(c), 0, 1, 0, false, 0});
        w.OpenFolder(name + "e", {});
        w.CloseFolder();
        w.CloseFolder();
    }
    w.CloseFolder();
    EXPECT_TRUE(w.End());
    return out.str();
}

TEST(SavedScanWriteRead, NamesOfEveryByteComeBack)
{
    const std::string text = EveryByteScan();
    TSizeTree tree;
    SavedScanOptions options;
    options.IndexFiles = true;
    const SavedScanResult r = ReadSavedScanBytes(text, tree, options);
    ASSERT_TRUE(r.Root) << r.Fault->Reason << " at " << r.Fault->Byte;
    EXPECT_EQ(r.Root->Path(), "/r\\\"oot\n");
    ASSERT_EQ(r.Root->ChildCount(), 254);
    for (int i = 0; i < r.Root->ChildCount(); ++i) {
        const TTreeEntry* d = r.Root->ChildAt(i);
        ASSERT_EQ(d->Name().size(), 2u);
        const char c = d->Name()[0];
        EXPECT_EQ(d->Size(), static_cast<unsigned char>(c));
        const LooseFileListing files = r.Files->List(*d);
        ASSERT_EQ(files.Files.size(), 1u);
        EXPECT_EQ(files.Files[0].Name, std::string(1, c) + "f");
        EXPECT_EQ(d->Path(), "/r\\\"oot\n/" + d->Name());
    }
}

TEST(SavedScanWriteRead, StopMidwayAndUnreadableFolders)
{
    const std::string text = EveryByteScan();
    TSizeTree tree;
    int folders = 0;
    SavedScanOptions options;
    options.StopRequested = [&] { return ++folders > 100; };
    const SavedScanResult stopped = ReadSavedScanBytes(text, tree, options);
    EXPECT_TRUE(stopped.Stopped);
    EXPECT_EQ(stopped.Root, nullptr);
    EXPECT_EQ(tree.TopLevelCount(), 0);

    const std::string marked =
        "[1,2,{},[{\"name\":\"/r\"},[{\"name\":\"a\",\"read_error\":true},"
        "[{\"name\":\"b\",\"read_error\":true}]],[{\"name\":\"c\",\"read_error\":false}]]]";
    std::string told;
    SavedScanOptions tell;
    tell.ReadFailed = [&](const TTreeEntry& folder) {
        told += folder.Path() + " ";
        EXPECT_EQ(folder.ReadError(), kReadWhenSaved);
    };
    const SavedScanResult r = ReadSavedScanBytes(marked, tree, tell);
    ASSERT_TRUE(r.Root);
    EXPECT_EQ(told, "/r/a /r/a/b ");
    EXPECT_EQ(r.Root->Counts().UnreadableBelow, 2u);
}

}  // namespace
