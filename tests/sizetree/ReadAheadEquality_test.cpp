// The read-ahead scan gives the sequential scan's tree, entry by entry, on
// every shape of tree and with every setting of its bounds.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ReadAheadCompare.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/DirLister.h"
#include "sizetree/FolderRead.h"
#include "sizetree/ReadAheadLister.h"
#include "sizetree/ScanRoute.h"

namespace {

// Random folders under random parents, files of random sizes (some zero,
// some multi-gigabyte sparse), hard links across folders, odd names.
void RandomTree(TTempTree& t, unsigned seed, int folders, int files, int links)
{
    std::mt19937 rng(seed);
    const std::vector<std::string> odd = {
        "...", ".hidden", "new\nline", "bad\xff\xfe", std::string(255, 'n'), "sp ace"};
    std::vector<std::string> dirs{""};
    auto under = [&](const std::string& name) {
        const std::string& parent = dirs[rng() % dirs.size()];
        return parent.empty() ? name : parent + "/" + name;
    };
    for (int i = 0; i < folders; ++i) {
        const std::string name = i < static_cast<int>(odd.size()) ? odd[i] : "d" + std::to_string(i);
        dirs.push_back(under(name));
        t.Dir(dirs.back());
    }
    std::vector<std::string> made;
    for (int i = 0; i < files; ++i) {
        const uint64_t bytes = rng() % 5 == 0 ? 0
            : rng() % 3 == 0                  ? (uint64_t{1} << 32) + rng()
                                              : rng() % 400000;
        made.push_back(t.File(under("f" + std::to_string(i)), bytes).substr(t.Root().size() + 1));
    }
    for (int i = 0; i < links && !made.empty(); ++i)
        t.HardLink(made[rng() % made.size()], under("h" + std::to_string(i)));
    t.Link("/", under("to-root"));
    t.Link("loop", "loop");
    t.Fifo(under("fifo"));
}

// Each tree shape, built in a fresh temporary folder.
struct TShape {
    const char* Name;
    std::function<void(TTempTree&)> Build;
};

const std::vector<TShape>& Shapes()
{
    static const std::vector<TShape> shapes = {
        {"empty root", [](TTempTree&) {}},
        {"zero-byte files only",
         [](TTempTree& t) {
             for (int i = 0; i < 5; ++i)
                 t.File("z" + std::to_string(i), 0);
         }},
        {"random 1", [](TTempTree& t) { RandomTree(t, 1, 150, 600, 80); }},
        {"random 2", [](TTempTree& t) { RandomTree(t, 2, 40, 100, 60); }},
        {"wide",
         [](TTempTree& t) {
             for (int i = 0; i < 2500; ++i) {
                 t.Dir("w" + std::to_string(i));
                 if (i % 7 == 0)
                     t.File("w" + std::to_string(i) + "/f", static_cast<uint64_t>(i) * 977);
             }
         }},
        {"comb 400 deep",
         [](TTempTree& t) {
             std::string path = "c";
             t.Dir(path);
             for (int i = 0; i < 400; ++i) {
                 t.Dir(path + "/leaf");
                 t.File(path + "/leaf/f", static_cast<uint64_t>(i) * 1000 + 1);
                 t.File(path + "/loose", 50000 + i);
                 path += "/c";
                 t.Dir(path);
             }
         }},
        {"empty folders",
         [](TTempTree& t) {
             for (int i = 0; i < 30; ++i) {
                 t.Dir("e" + std::to_string(i));
                 t.Dir("e" + std::to_string(i) + "/x");
             }
         }},
    };
    return shapes;
}

// A listing that sleeps `delay` before each folder, as on a slow device.
FolderListStep SlowListing(std::chrono::microseconds delay)
{
    return [delay](int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch) {
        std::this_thread::sleep_for(delay);
        ListFolder(fd, place, listing, scratch);
    };
}

// Each setting of the lister's bounds.
struct TSetting {
    const char* Name;
    ReadAheadOptions Options;
};

std::vector<TSetting> Settings()
{
    std::vector<TSetting> s(8);
    s[0].Name = "defaults";
    s[1].Name = "one worker";
    s[1].Options.Workers = 1;
    s[2].Name = "four workers";
    s[2].Options.Workers = 4;
    s[3].Name = "read-ahead of one folder and one byte";
    s[3].Options.MaxReadyFolders = 1;
    s[3].Options.MaxReadyBytes = 1;
    s[4].Name = "no kept descriptors: every folder reached from the root";
    s[4].Options.MaxKeptFolders = 0;
    s[5].Name = "one kept descriptor, three workers";
    s[5].Options.MaxKeptFolders = 1;
    s[5].Options.Workers = 3;
    s[6].Name = "one child node per folder, the rest made as siblings start";
    s[6].Options.MaxChildNodes = 1;
    s[7].Name = "a slow listing: the pool grows from one worker to twelve";
    s[7].Options.Workers = 1;
    s[7].Options.MaxWorkers = 12;
    s[7].Options.ListStep = SlowListing(std::chrono::microseconds(300));
    return s;
}

TEST(ReadAheadScan, EqualsSequentialOnEveryShapeAndSetting)
{
    for (const TShape& shape : Shapes()) {
        TTempTree t;
        shape.Build(t);
        const auto expected = ScanSequential(t.Root());
        for (const TSetting& setting : Settings()) {
            const auto got = ScanReadAhead(t.Root(), setting.Options);
            EXPECT_EQ(FirstDifference(expected->Root, got->Root), "") << shape.Name << " / " << setting.Name;
        }
    }
}

// The pool grows while the listing sleeps (each growth pays: more sleeping
// workers list more folders), and stays well below its bound while the
// listing keeps the CPU busy (not always at its start: on
// a virtual machine, time the host takes the core away reads as sleep); the
// tree is exact either way, and the descriptors stay within the bound of the
// workers started.
TEST(ReadAheadScan, PoolGrowsOnlyWhileListingsSleep)
{
    TTempTree t;
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 15; ++j)
            t.File("p" + std::to_string(i) + "/q" + std::to_string(j) + "/f", 1000 + i * j);
    const auto expected = ScanSequential(t.Root());
    const FolderListStep busy = [](int fd, const FolderPlace& place, TFolderListing& listing,
                                   TListScratch& scratch) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(500);
        while (std::chrono::steady_clock::now() < end) {}
        ListFolder(fd, place, listing, scratch);
    };
    struct TCase {
        unsigned Start, Bound;
        bool Sleeps;
    };
    for (const TCase c : {TCase{1, 3, true}, TCase{2, 12, true}, TCase{2, 16, false}}) {
        ReadAheadOptions options;
        options.Workers = c.Start;
        options.MaxWorkers = c.Bound;
        options.ListStep = c.Sleeps ? SlowListing(std::chrono::milliseconds(4)) : busy;
        ReadAheadLister lister(options);
        TScanResult got;
        got.Root = got.Tree.AddChildEntry(nullptr, t.Root(), TNode{t.Root(), 0, ""});
        ScanFolderWith(got.Tree, got.Root, {}, lister);
        const ReadAheadStats stats = lister.Stats();
        EXPECT_EQ(FirstDifference(expected->Root, got.Root), "") << c.Bound << c.Sleeps;
        EXPECT_LE(stats.Workers, c.Bound);
        if (c.Sleeps)
            EXPECT_GE(stats.Workers, c.Start + 2) << c.Bound;
        else
            EXPECT_LT(stats.Workers, c.Bound / 2);
        EXPECT_LE(stats.MostOpenFolders, 1 + 16 + 2 * static_cast<int>(stats.Workers));
    }
}

// Where statx is refused the listing falls back to fstatat; both listers
// then still agree.
TEST(ReadAheadScan, EqualsSequentialWithFstatatListing)
{
    TTempTree t;
    RandomTree(t, 5, 60, 250, 40);
    auto expected = std::make_unique<TScanResult>();
    expected->Root = expected->Tree.AddChildEntry(nullptr, t.Root(), TNode{t.Root(), 0, ""});
    DirLister fstatatOnly(false);
    ScanFolderWith(expected->Tree, expected->Root, {}, fstatatOnly);
    ReadAheadOptions options;
    options.ListStep = [](int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch) {
        scratch.UseStatx = false;
        ListFolder(fd, place, listing, scratch);
    };
    EXPECT_EQ(FirstDifference(expected->Root, ScanReadAhead(t.Root(), options)->Root), "");
}

// A listing a worker abandons (an exception midway) keeps what was read and
// says so; the rest of the tree is whole.
TEST(ReadAheadScan, AbandonedListingIsRecorded)
{
    TTempTree t;
    RandomTree(t, 6, 30, 80, 10);
    t.File("boom/f", 5000);
    t.File("boom/sub/g", 7000);
    struct stat boom;
    ASSERT_EQ(stat(t.Path("boom").c_str(), &boom), 0);
    const auto expected = ScanSequential(t.Root());
    ReadAheadOptions options;
    options.ListStep = [&](int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch) {
        struct stat st;
        if (fstat(fd, &st) == 0 && st.st_ino == boom.st_ino)
            throw std::bad_alloc();
        ListFolder(fd, place, listing, scratch);
    };
    const auto got = ScanReadAhead(t.Root(), options);
    const TTreeEntry* shown = Child(got->Root, "boom");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->ReadError(), kReadAbandoned);
    EXPECT_EQ(shown->Size(), 0);
    EXPECT_EQ(got->Root->Counts().UnreadableBelow, 1u);
    EXPECT_EQ(got->Root->Size(), expected->Root->Size() - 12000);
    for (int i = 0; i < got->Root->ChildCount(); ++i) {
        const TTreeEntry* c = got->Root->ChildAt(i);
        if (c != shown && c->Name() != "") {
            EXPECT_EQ(FirstDifference(Child(expected->Root, c->Name()), c), "");
        }
    }
}

// A root given as a symbolic link is followed, as the sequential scan does;
// a missing root stays empty.
TEST(ReadAheadScan, RootsAsTheSequentialScanTakesThem)
{
    TTempTree t;
    t.Dir("real");
    t.File("real/f", 123456);
    t.Link(t.Root() + "/real", "via-link");
    for (const std::string rel : {"real", "via-link", "missing", "real/f"}) {
        const std::string path = t.Root() + "/" + rel;
        EXPECT_EQ(FirstDifference(ScanSequential(path)->Root, ScanReadAhead(path)->Root), "") << rel;
    }
    EXPECT_EQ(ScanReadAhead(t.Root() + "/via-link")->Root->Size(), 123456);
    EXPECT_EQ(ScanReadAhead(t.Root() + "/missing")->Root->ChildCount(), 0);
}

// As root every folder is readable: the unreadable cases run as another user
// in a child process, which reports by its exit status.
TEST(ReadAheadScan, EqualsSequentialWithUnreadableFolders)
{
    TTempTree t;
    RandomTree(t, 4, 60, 200, 30);
    t.Dir("shut");
    t.File("shut/f", 700000);
    t.Dir("shut/inner");
    t.Dir("listable-only");  // names readable, nothing under it reachable
    t.Dir("listable-only/sub");
    t.File("listable-only/f", 1000);
    t.Dir("search-only");  // reachable, not listable
    t.Dir("search-only/sub");
    t.File("search-only/sub/f", 2000);
    ASSERT_EQ(chmod((t.Root() + "/shut").c_str(), 0), 0);
    ASSERT_EQ(chmod((t.Root() + "/listable-only").c_str(), 0444), 0);
    ASSERT_EQ(chmod((t.Root() + "/search-only").c_str(), 0111), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        const auto expected = ScanSequential(t.Root());
        if (!Child(expected->Root, "shut") || Child(expected->Root, "shut")->Size() != 0)
            _exit(11);
        int bad = 0;
        for (const TSetting& setting : Settings())
            bad += FirstDifference(expected->Root, ScanReadAhead(t.Root(), setting.Options)->Root) != "";
        _exit(bad);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: could not drop privileges; 11: the tree was readable; "
                                         "else the number of settings that differed";
}

// Deeper than PATH_MAX, with few descriptors at any time; nothing left open.
TEST(ReadAheadScan, TenThousandLevels)
{
    TTempTree t;
    t.Dir("top");
    const int levels = 10000;
    t.Chain("top", levels, "level-name", 123456);
    t.Chain("top", 1, "side", 7);
    const int baseline = OpenDescriptorCount();
    const auto expected = ScanSequential(t.Root());

    ReadAheadOptions options;
    options.MaxKeptFolders = 4;
    ReadAheadLister lister(options);
    TScanResult got;
    got.Root = got.Tree.AddChildEntry(nullptr, t.Root(), TNode{t.Root(), 0, ""});
    int calls = 0;
    int mostOpen = 0;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] {
        if (++calls % 500 == 0)
            mostOpen = std::max(mostOpen, OpenDescriptorCount() - baseline);
    };
    hooks.EventInterval = {};
    ScanFolderWith(got.Tree, got.Root, hooks, lister);
    const ReadAheadStats stats = lister.Stats();
    const int bound = 1 + 4 + 2 * static_cast<int>(stats.Workers);
    EXPECT_LE(stats.MostOpenFolders, bound);
    EXPECT_LE(mostOpen, bound + static_cast<int>(stats.Workers));  // one each to read its times
    EXPECT_EQ(FirstDifference(expected->Root, got.Root), "");
    EXPECT_GT(Child(got.Root, "top")->ChildCount(), 0);
    EXPECT_EQ(got.Root->Size(), 123456 + 7);
    EXPECT_EQ(OpenDescriptorCount(), baseline);
}

// What a listing says, in one string.
std::string Described(const TFolderListing& l)
{
    std::string text = std::to_string(l.SingleLinkTotal) + " " + std::to_string(l.SingleLinkDiskBytes) + " "
        + std::to_string(l.SingleLinkFiles) + " error " + std::to_string(l.Error) + "\n";
    for (const TSubfolder& s : l.Subfolders)
        text += s.Name + " " + std::to_string(s.Device) + ":" + std::to_string(s.Inode)
            + (s.OtherFileSystem ? " elsewhere\n" : "\n");
    for (const TLinkedFile& f : l.LinkedFiles)
        text += std::to_string(f.Device) + ":" + std::to_string(f.Inode) + " " + std::to_string(f.Size) + " "
            + std::to_string(f.DiskBytes) + " at " + std::to_string(f.Position) + "\n";
    return text;
}

// Where the file system's records can be relied on, a listing takes its
// subfolders from them; in every folder of a varied tree that gives what
// looking at each subfolder gives.
TEST(FolderListing, SubfoldersFromRecordsEqualThoseLookedAt)
{
    TTempTree t;
    RandomTree(t, 7, 80, 300, 50);
    t.Link("..", "up");
    const int rootFd = open(t.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(rootFd, 0);
    const bool trusted = !RouteOf(rootFd).Mounts.Everywhere;
    close(rootFd);
    if (!trusted)
        GTEST_SKIP() << "the temporary folder's file system is looked at everywhere";
    std::vector<std::string> folders{t.Root()};
    TListScratch scratch;
    for (size_t i = 0; i < folders.size(); ++i) {
        TFolderListing listing[2];
        for (const bool look : {true, false}) {
            const int fd = open(folders[i].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ASSERT_GE(fd, 0) << folders[i];
            struct stat st;
            ASSERT_EQ(fstat(fd, &st), 0);
            ListFolder(fd, FolderPlace{st.st_dev, look}, listing[look], scratch);
            close(fd);
        }
        EXPECT_EQ(Described(listing[0]), Described(listing[1])) << folders[i];
        for (const TSubfolder& s : listing[1].Subfolders)
            folders.push_back(folders[i] + "/" + s.Name);
    }
    EXPECT_GT(folders.size(), 80u);
}

}  // namespace
