// Loose files listed under their FILES entry: captions and order, hard
// links, a folder changed since the scan, the largest kept and the rest
// summed, folders that cannot be listed. The strong checks: sums hold over
// the whole tree, and the tree equals a fresh scan listed the same way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ReadAheadCompare.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/ListingQueue.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/Ordering.h"

namespace {

std::vector<TTreeEntry*> FilesEntries(TTreeEntry* root)
{
    std::vector<TTreeEntry*> found;
    std::vector<TTreeEntry*> pending{root};
    while (!pending.empty()) {
        TTreeEntry* e = pending.back();
        pending.pop_back();
        for (int i = 0; i < e->ChildCount(); ++i) {
            TTreeEntry* c = e->ChildAt(i);
            (c->IsFiles() ? found : pending).push_back(c);
        }
    }
    return found;
}

// The children of every FILES entry under root.
std::vector<TTreeEntry*> ListedFiles(TTreeEntry* root)
{
    std::vector<TTreeEntry*> listed;
    for (TTreeEntry* files : FilesEntries(root))
        for (int i = 0; i < files->ChildCount(); ++i)
            listed.push_back(files->ChildAt(i));
    return listed;
}

// As the window does when the user opens a FILES entry.
void ListFiles(TSizeTree& tree, TTreeEntry* files, LinkLedger& ledger, const TreeChangeHooks& hooks = {})
{
    const TTreeEntry* folder = files->Parent();
    PutLooseFiles(tree, files, ListLooseFilesAt(PlanWalk(*folder), LinksCountedElsewhere(ledger, folder)),
                  ledger, hooks);
}

void ListEveryFilesEntry(TSizeTree& tree, TTreeEntry* root, LinkLedger& ledger)
{
    for (TTreeEntry* files : FilesEntries(root))
        ListFiles(tree, files, ledger);
}

// "" when every entry with children is the sum of them, and every FILES
// entry's disk bytes and file count too; else the first entry where not.
std::string SumsBroken(const TTreeEntry* root)
{
    std::vector<const TTreeEntry*> pending{root};
    while (!pending.empty()) {
        const TTreeEntry* e = pending.back();
        pending.pop_back();
        if (e->ChildCount() == 0)
            continue;
        double size = 0;
        uint64_t disk = 0;
        uint64_t files = 0;
        for (int i = 0; i < e->ChildCount(); ++i) {
            const TTreeEntry* c = e->ChildAt(i);
            size += c->Size();
            disk += c->Counts().DiskBytes;
            files += c->Counts().Files;
            pending.push_back(c);
        }
        if (size != e->Size()
            || (e->IsFiles() && (disk != e->Counts().DiskBytes || files != e->Counts().Files)))
            return e->Path() + " (" + e->Caption() + ")";
    }
    return "";
}

// A scanned root and its ledger, every FILES entry listed or none.
struct Listed {
    TSizeTree Tree;
    LinkLedger Ledger;
    TTreeEntry* Root = nullptr;
    Listed(const std::string& path, bool listAll)
    {
        Root = Tree.AddChildEntry(nullptr, path, TNode{path, 0, ""});
        ScanFolder(Tree, Root, {}, Ledger);
        if (listAll)
            ListEveryFilesEntry(Tree, Root, Ledger);
    }
};

std::string DifferenceFromFresh(const Listed& now, bool listAll)
{
    const Listed fresh(now.Root->Path(), listAll);
    return FirstDifference(now.Root, fresh.Root);
}

// "" when sums hold and the tree equals a fresh scan, listed alike.
std::string NotWhole(const Listed& s, bool listAll)
{
    const std::string sums = SumsBroken(s.Root);
    return sums.empty() ? DifferenceFromFresh(s, listAll) : "sums of " + sums;
}

// The file goes from disk, then from the tree, as a move to the trash does.
void RemoveFile(Listed& s, TTreeEntry* file)
{
    std::filesystem::remove(file->Path());
    RemoveScannedEntry(s.Tree, file, s.Ledger, {});
}

TEST(LooseFiles, ListedLikeFoldersInBothOrdersWithOddNames)
{
    TTempTree t;
    t.File("f big", 3000000);
    t.File("a\nb", 1500000);
    t.File("\xff\xfe", 700000);
    t.Link("f big", "sym");  // counted by its own size: 5 bytes
    t.Fifo("pipe");
    t.File("empty", 0);
    t.File("sub/x", 250000);
    t.File("sub/y", 120000);
    t.File("deep/deeper/z", 50000);
    Listed s(t.Root(), false);
    const double before = s.Root->Size();
    ListEveryFilesEntry(s.Tree, s.Root, s.Ledger);
    EXPECT_EQ(s.Root->Size(), before);
    EXPECT_EQ(NotWhole(s, true), "");

    TTreeEntry* files = Child(s.Root, "");
    ASSERT_TRUE(files && files->IsFiles());
    EXPECT_EQ(files->Caption(), "       5.2 MB  [FILES]");
    const std::vector<std::string> bySize = {"         3 MB  f big",    "       1.5 MB  a\nb",
                                             "       0.7 MB  \xff\xfe", "         0 MB  sym",
                                             "         0 MB  empty",    "         0 MB  pipe"};
    EXPECT_EQ(ChildCaptions(files), bySize);
    for (int i = 0; i < files->ChildCount(); ++i) {
        const TTreeEntry* f = files->ChildAt(i);
        SCOPED_TRACE(f->Caption());
        EXPECT_TRUE(f->IsListedFile() && !f->IsFiles() && !f->IsSmallerFiles() && !f->IsCountedElsewhere());
        EXPECT_EQ(f->Path(), t.Path(f->Name()));
        EXPECT_EQ(f->ImageIndex(), 2);
        EXPECT_EQ(f->Counts().Files, 1u);
        struct stat st;
        ASSERT_EQ(lstat(f->Path().c_str(), &st), 0);
        EXPECT_EQ(f->Device(), st.st_dev);
        EXPECT_EQ(f->Inode(), st.st_ino);
    }
    EXPECT_EQ(ChildCaptions(Child(Child(s.Root, "sub"), "")),
              (std::vector<std::string>{"       0.2 MB  x", "       0.1 MB  y"}));

    s.Tree.SetOnCompare(SortByName);
    SortSubtree(s.Tree, s.Root);
    const std::vector<std::string> byName = {bySize[1], bySize[4], bySize[0],
                                             bySize[5], bySize[3], bySize[2]};
    EXPECT_EQ(ChildCaptions(files), byName);
    EXPECT_EQ(ChildCaptions(Child(Child(s.Root, "sub"), "")),
              (std::vector<std::string>{"       0.2 MB  x", "       0.1 MB  y"}));

    // Gone from disk: the file leaves, FILES entry and root shrink, no folder
    // is counted away.
    s.Tree.SetOnCompare(SortBySize);
    SortSubtree(s.Tree, s.Root);
    RemoveFile(s, Child(files, "f big"));
    EXPECT_EQ(files->Caption(), "       2.2 MB  [FILES]");
    EXPECT_EQ(NotWhole(s, true), "");
}

TEST(LooseFiles, HardLinksShowOnceAndSumsStayTrue)
{
    TTempTree t;
    t.File("a/s", 100000);
    t.File("b/s", 200000);
    t.File("c/s", 300000);
    t.File("a/one", 1000000);
    t.HardLink("a/one", "b/one2");
    t.HardLink("a/one", "a/one3");  // a second link in the same folder
    t.File("b/two", 2000000);
    t.HardLink("b/two", "c/two");
    Listed s(t.Root(), false);
    const double total = 3600000;
    ASSERT_EQ(s.Root->Size(), total);
    ListEveryFilesEntry(s.Tree, s.Root, s.Ledger);
    EXPECT_EQ(s.Root->Size(), total);
    EXPECT_EQ(NotWhole(s, true), "");

    // Each linked file shows its size once; its other links show 0 MB.
    struct Seen {
        int Counted = 0;
        int Elsewhere = 0;
    };
    std::map<uint64_t, Seen> byInode;
    for (const TTreeEntry* f : ListedFiles(s.Root)) {
        if (f->Name() == "s")
            continue;
        Seen& seen = byInode[f->Inode()];
        if (f->IsCountedElsewhere()) {
            ++seen.Elsewhere;
            EXPECT_EQ(f->Caption(), "         0 MB  " + f->Name());
            EXPECT_EQ(f->Counts().Files, 0u);
        } else {
            ++seen.Counted;
            EXPECT_GT(f->Size(), 0);
        }
    }
    ASSERT_EQ(byInode.size(), 2u);
    for (const auto& [inode, seen] : byInode)
        EXPECT_EQ(seen.Counted, 1) << inode;
    EXPECT_EQ(byInode.begin()->second.Elsewhere + std::next(byInode.begin())->second.Elsewhere, 3);

    // A link that another counted goes: no size changes. Then the one that
    // counted goes while another remains: counted at its next place.
    TTreeEntry* other = nullptr;
    TTreeEntry* counting = nullptr;
    for (TTreeEntry* f : ListedFiles(s.Root))
        if (f->Size() == 0 && f->IsCountedElsewhere() && !other)
            other = f;
    ASSERT_NE(other, nullptr);
    for (TTreeEntry* f : ListedFiles(s.Root))
        if (f->Inode() == other->Inode() && !f->IsCountedElsewhere())
            counting = f;
    ASSERT_NE(counting, nullptr);
    RemoveFile(s, other);
    EXPECT_EQ(s.Root->Size(), total);
    EXPECT_EQ(NotWhole(s, true), "");
    RemoveFile(s, counting);
    ListEveryFilesEntry(s.Tree, s.Root, s.Ledger);
    EXPECT_EQ(NotWhole(s, true), "");
}

TEST(LooseFiles, FolderChangedSinceTheScanUpdatesEveryAncestor)
{
    TTempTree t;
    t.File("top/mid/low/f1", 1000000);
    t.File("top/mid/low/f2", 2000000);
    t.File("top/other/g", 3500000);
    t.File("r", 100000);
    Listed s(t.Root(), false);
    TTreeEntry* top = Child(s.Root, "top");
    TTreeEntry* mid = Child(top, "mid");
    TTreeEntry* low = Child(mid, "low");
    ASSERT_EQ(top->ChildAt(0)->Name(), "other");

    std::vector<std::string> cleared, removed;
    TreeChangeHooks hooks;
    hooks.ChildrenAboutToGo = [&](TTreeEntry* e) { cleared.push_back(e->Path()); };
    hooks.SubtreeAboutToGo = [&](TTreeEntry* e) { removed.push_back(e->Path()); };
    t.File("top/mid/low/f3", 4000000);
    std::filesystem::remove(t.Path("top/mid/low/f1"));
    std::filesystem::resize_file(t.Path("top/mid/low/f2"), 2500000);
    ListFiles(s.Tree, Child(low, ""), s.Ledger, hooks);
    EXPECT_EQ(ChildCaptions(low), std::vector<std::string>{"       6.5 MB  [FILES]"});
    EXPECT_EQ(ChildCaptions(Child(low, "")),
              (std::vector<std::string>{"         4 MB  f3", "       2.5 MB  f2"}));
    EXPECT_EQ(mid->Caption(), "       6.5 MB  mid");
    EXPECT_EQ(top->Caption(), "        10 MB  top");
    EXPECT_EQ(top->ChildAt(0), mid);  // re-sorted
    EXPECT_EQ(SumsBroken(s.Root), "");
    {
        Listed fresh(t.Root(), false);
        ListFiles(fresh.Tree, Child(Child(Child(Child(fresh.Root, "top"), "mid"), "low"), ""), fresh.Ledger);
        EXPECT_EQ(FirstDifference(s.Root, fresh.Root), "");
    }
    EXPECT_TRUE(cleared.empty());

    // Only an empty file left: no FILES entry, as a fresh scan shows.
    std::filesystem::remove(t.Path("top/mid/low/f2"));
    std::filesystem::resize_file(t.Path("top/mid/low/f3"), 0);
    ListFiles(s.Tree, Child(low, ""), s.Ledger, hooks);
    EXPECT_EQ(cleared, std::vector<std::string>{t.Path("top/mid/low/[FILES]")});
    EXPECT_EQ(removed, std::vector<std::string>{t.Path("top/mid/low/[FILES]")});
    EXPECT_EQ(low->ChildCount(), 0);
    EXPECT_EQ(NotWhole(s, false), "");
}

TEST(LooseFiles, KeepsTheLargestAndSumsTheRest)
{
    TTempTree t;
    for (const auto& [name, size] : {std::pair{"a", 300}, {"b", 500}, {"c", 500}, {"d", 100}, {"e", 0}})
        t.File("small/" + std::string(name), size);
    struct Case {
        size_t Keep;
        std::vector<std::string> Kept;  // largest first, equal sizes by name
        uint64_t SmallerFiles, SmallerBytes;
    };
    const Case cases[] = {
        {0, {}, 5, 1400},
        {1, {"b"}, 4, 900},
        {2, {"b", "c"}, 3, 400},
        {3, {"b", "c", "a"}, 2, 100},
        {9, {"b", "c", "a", "d", "e"}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Keep);
        const int fd = open(t.Path("small").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        LooseFileListing listing = ListLooseFiles(fd, {}, c.Keep);
        close(fd);
        EXPECT_EQ(listing.Error, 0);
        std::sort(listing.Files.begin(), listing.Files.end(), [](const LooseFile& x, const LooseFile& y) {
            return x.Size != y.Size ? x.Size > y.Size : x.Name < y.Name;
        });
        std::vector<std::string> kept;
        for (const LooseFile& f : listing.Files)
            kept.push_back(f.Name);
        EXPECT_EQ(kept, c.Kept);
        EXPECT_EQ(listing.SmallerFiles, c.SmallerFiles);
        EXPECT_EQ(listing.SmallerBytes, c.SmallerBytes);
    }

    // 10,001 files: the 10,000 largest, then "[1 smaller files]", last in
    // either order.
    for (int i = 1; i <= 10001; ++i)
        t.File("many/f" + std::to_string(i), static_cast<uint64_t>(i) * 1000);
    Listed s(t.Root(), true);
    EXPECT_EQ(NotWhole(s, true), "");
    TTreeEntry* files = Child(Child(s.Root, "many"), "");
    ASSERT_EQ(files->ChildCount(), 10001);
    for (TTVCompareEvent order : {SortBySize, SortByName}) {
        s.Tree.SetOnCompare(order);
        SortSubtree(s.Tree, s.Root);
        const TTreeEntry* rest = files->ChildAt(10000);
        EXPECT_TRUE(rest->IsSmallerFiles());
        EXPECT_EQ(rest->Caption(), "         0 MB  [1 smaller files]");
        EXPECT_EQ(rest->Size(), 1000);
        EXPECT_EQ(rest->Counts().Files, 1u);
        EXPECT_EQ(rest->Path(), t.Path("many"));
        EXPECT_EQ(rest->ImageIndex(), 2);
    }
    EXPECT_EQ(files->ChildAt(0)->Name(), "f10");  // by name; f1 is the smaller rest
    const double before = s.Root->Size();
    RemoveScannedEntry(s.Tree, files->ChildAt(10000), s.Ledger, {});  // not a file on disk
    EXPECT_EQ(files->ChildCount(), 10001);
    EXPECT_EQ(s.Root->Size(), before);
}

TEST(LooseFiles, UnlistableFolderListsNothingAndKeepsItsSizes)
{
    TTempTree t;
    t.File("gone/f", 400000);
    t.File("shut/f", 700000);
    Listed s(t.Root(), true);
    const double total = s.Root->Size();
    TTreeEntry* goneFiles = Child(Child(s.Root, "gone"), "");
    ASSERT_EQ(goneFiles->ChildCount(), 1);
    std::vector<std::string> cleared;
    TreeChangeHooks hooks;
    hooks.ChildrenAboutToGo = [&](TTreeEntry* e) { cleared.push_back(e->Path()); };
    std::filesystem::remove_all(t.Path("gone"));
    const LooseFileListing gone = ListLooseFilesAt(PlanWalk(*Child(s.Root, "gone")), {});
    EXPECT_EQ(gone.Error, ENOENT);
    PutLooseFiles(s.Tree, goneFiles, gone, s.Ledger, hooks);
    EXPECT_EQ(goneFiles->ChildCount(), 0);
    EXPECT_EQ(cleared, std::vector<std::string>{t.Path("gone/[FILES]")});
    EXPECT_EQ(s.Root->Size(), total);

    // As root every folder is readable: the listing runs as another user in
    // a child process, which reports by its exit status.
    ASSERT_EQ(chmod(t.Path("shut").c_str(), 0), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        TTreeEntry* files = Child(Child(s.Root, "shut"), "");
        const LooseFileListing shut = ListLooseFilesAt(PlanWalk(*Child(s.Root, "shut")), {});
        PutLooseFiles(s.Tree, files, shut, s.Ledger, {});
        int bad = 0;
        bad |= shut.Error != EACCES || !shut.Files.empty();
        bad |= files->ChildCount() != 0 || files->Size() != 700000 || s.Root->Size() != total;
        _exit(bad ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: could not drop privileges";
    chmod(t.Path("shut").c_str(), 0755);
}

// The queue's hand-off between its workers and this thread: a listing whose
// FILES entry goes while a worker lists it (its folder rescanned) is dropped;
// the new entry, asked for again meanwhile, is listed and handed back whole.
TEST(LooseFiles, QueuedListingOfAnEntryThatWentIsDroppedAndTheNewOneListed)
{
    TTempTree t;
    t.File("docs/a", 1000);
    t.File("docs/b", 2000);
    Listed s(t.Root(), false);
    std::mutex m;
    std::condition_variable cv;
    int listing = 0;
    bool go = false;
    // Woken without a lock: only the queue's own hand-off may carry the
    // listing over to this thread.
    std::atomic<int> woken = 0;
    ListingQueue queue(
        s.Tree, [&] { woken.fetch_add(1, std::memory_order_relaxed); }, 2,
        [&](const WalkPlan& plan, const FileIdSet& elsewhere) {
            {
                std::unique_lock lock(m);
                ++listing;
                cv.notify_all();
                cv.wait(lock, [&] { return go; });
            }
            return ListLooseFilesAt(plan, elsewhere);
        });
    const auto ledgerOf = [&](const TTreeEntry*) -> const LinkLedger& { return s.Ledger; };
    TTreeEntry* docs = Child(s.Root, "docs");
    ASSERT_TRUE(queue.Request(Child(docs, "")));
    EXPECT_FALSE(queue.Request(Child(docs, "")));
    queue.StartWaiting(ledgerOf);
    {
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(60), [&] { return listing == 1; }));
    }
    t.File("docs/c", 4000);
    ASSERT_TRUE(RescanEntry(s.Tree, docs, s.Ledger, {}));
    TTreeEntry* files = Child(docs, "");
    ASSERT_TRUE(queue.Request(files));
    queue.StartWaiting(ledgerOf);
    {
        std::lock_guard lock(m);
        go = true;
        cv.notify_all();
    }
    for (int i = 0; i < 60000 && woken.load(std::memory_order_relaxed) < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::optional<FinishedListing> finished = queue.TakeFinished();
    ASSERT_TRUE(finished);
    EXPECT_EQ(finished->Files, files);
    EXPECT_FALSE(queue.TakeFinished());
    EXPECT_FALSE(queue.Active());
    PutLooseFiles(s.Tree, files, std::move(finished->Listing), s.Ledger, {});
    EXPECT_EQ(files->ChildCount(), 3);
    EXPECT_EQ(NotWhole(s, true), "");
}

}  // namespace
