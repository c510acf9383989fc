// The read-ahead scan's lifetime: the window stays alive while a listing
// stalls, stopping ends and joins every worker, deletion of the tree under
// scan is safe, a tree changing under the scan still adds up.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ReadAheadCompare.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/FolderRead.h"
#include "sizetree/ReadAheadLister.h"

namespace {

using TClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

uint64_t InodeOf(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A listing step that takes `delay` for the folders in slow (by inode) and
// counts the steps begun. With Gate set, it holds those folders until Open()
// instead (or for 30 s, a guard against a hang, after which it opens).
struct TSlowStep {
    std::set<uint64_t> Slow;
    milliseconds Delay{0};
    std::atomic<int> Begun{0};
    bool Gate = false;
    std::atomic<int> Held{0};  // steps held now

    void Open()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

    FolderListStep Step()
    {
        return [this](int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch) {
            ++Begun;
            struct stat st;
            if (fstat(fd, &st) == 0 && Slow.count(st.st_ino)) {
                if (Gate) {
                    ++Held;
                    std::unique_lock<std::mutex> lock(mutex_);
                    if (!opened_.wait_for(lock, std::chrono::seconds(30), [this] { return open_; }))
                        open_ = true;  // the guard: every held step goes on
                    --Held;
                } else {
                    std::this_thread::sleep_for(Delay);
                }
            }
            ListFolder(fd, place, listing, scratch);
        };
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// 20 folders of one file each; all of them slow.
void SlowTree(TTempTree& t, TSlowStep& slow, milliseconds delay)
{
    for (int i = 0; i < 20; ++i) {
        const std::string d = "s" + std::to_string(i);
        slow.Slow.insert(InodeOf(t.Dir(d)));
        t.File(d + "/f", 1000);
    }
    slow.Delay = delay;
}

// While the scan waits for a listing that does not come, the event callback
// keeps running, no more often than EventInterval, and the result is exact.
TEST(ReadAheadLifetime, EventsKeepComingWhileAListingStalls)
{
    TTempTree t;
    TSlowStep slow;
    SlowTree(t, slow, milliseconds(0));
    slow.Gate = true;
    std::vector<TClock::time_point> calls;
    int callsWhileHeld = 0;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] {
        calls.push_back(TClock::now());
        // Ten calls while a listing is held; then the listings go on.
        if (slow.Held > 0 && ++callsWhileHeld == 10)
            slow.Open();
    };
    ReadAheadOptions options;
    options.Workers = 2;
    options.ListStep = slow.Step();
    const auto got = ScanReadAhead(t.Root(), options, hooks);
    EXPECT_GE(callsWhileHeld, 10) << "no events while a listing stalled";
    for (size_t i = 1; i < calls.size(); ++i)
        EXPECT_GE(calls[i] - calls[i - 1], hooks.EventInterval) << i;
    EXPECT_EQ(FirstDifference(ScanSequential(t.Root())->Root, got->Root), "");
}

// Stop asked from the event callback while a listing stalls: the scan
// returns without starting more listings, and no worker is left.
TEST(ReadAheadLifetime, StopWhileWaitingEndsTheWorkers)
{
    TTempTree t;
    TSlowStep slow;
    SlowTree(t, slow, milliseconds(200));
    const int threads = ThreadCount();
    const int descriptors = OpenDescriptorCount();
    int calls = 0;
    int begunAtStop = -1;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] { ++calls; };
    hooks.StopRequested = [&] {
        if (calls >= 3 && begunAtStop < 0)
            begunAtStop = slow.Begun;
        return calls >= 3;
    };
    ReadAheadOptions options;
    options.Workers = 2;
    options.ListStep = slow.Step();
    const auto got = ScanReadAhead(t.Root(), options, hooks);
    EXPECT_EQ(calls, 3);
    EXPECT_LE(slow.Begun, begunAtStop + 2);
    EXPECT_LT(got->Root->ChildCount(), 20);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

// The event callback deletes, while the scan waits: the scanned root, the
// folder under scan, or another tree. The scan stops without touching what
// was deleted (AddressSanitizer watches), or goes on for the other tree.
TEST(ReadAheadLifetime, DeletionWhileWaiting)
{
    TTempTree t;
    TSlowStep slow;
    t.Dir("a");
    slow.Slow.insert(InodeOf(t.Dir("a/b")));
    t.Dir("a/b/c");
    t.File("a/b/c/f", 5000);
    slow.Delay = milliseconds(80);
    const int threads = ThreadCount();
    for (int victim = 0; victim < 3; ++victim) {
        TSizeTree tree;
        TTreeEntry* other = tree.AddChildEntry(nullptr, "other", TNode{"/x", 0, ""});
        TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{t.Root(), 0, ""});
        bool deleted = false;
        TScanHooks hooks;
        hooks.ProcessPendingMessages = [&] {
            // a/b is under scan once root has a child with a child.
            if (deleted || root->ChildCount() == 0 || root->ChildAt(0)->ChildCount() == 0)
                return;
            deleted = true;
            tree.DeleteEntry(victim == 0 ? root : victim == 1 ? root->ChildAt(0)->ChildAt(0) : other);
        };
        ReadAheadOptions options;
        options.ListStep = slow.Step();
        {
            ReadAheadLister lister(options);
            ScanFolderWith(tree, root, hooks, lister);
        }
        EXPECT_TRUE(deleted) << victim;
        if (victim == 2) {
            ASSERT_EQ(tree.TopLevelCount(), 1);
            EXPECT_EQ(tree.TopLevelAt(0)->Size(), 5000);
        }
        EXPECT_EQ(ThreadCount(), threads);
    }
}

// A stop at any point of a scan with much read-ahead in flight leaves no
// thread, no descriptor and (LeakSanitizer watches) no memory behind.
TEST(ReadAheadLifetime, StopAtAnyPointFreesEverything)
{
    TTempTree t;
    for (int i = 0; i < 40; ++i) {
        const std::string d = "d" + std::to_string(i);
        t.Dir(d);
        for (int j = 0; j < 20; ++j) {
            t.Dir(d + "/e" + std::to_string(j));
            t.File(d + "/e" + std::to_string(j) + "/f", 10);
        }
    }
    const int threads = ThreadCount();
    const int descriptors = OpenDescriptorCount();
    for (const int stopAt : {1, 2, 3, 50, 400, 800}) {
        int calls = 0;
        TScanHooks hooks;
        hooks.ProcessPendingMessages = [&] { ++calls; };
        hooks.StopRequested = [&] { return calls >= stopAt; };
        hooks.EventInterval = {};
        const auto got = ScanReadAhead(t.Root(), {}, hooks);
        EXPECT_EQ(calls, stopAt);
        EXPECT_EQ(ThreadCount(), threads) << stopAt;
        EXPECT_EQ(OpenDescriptorCount(), descriptors) << stopAt;
    }
}

// Every folder's size is the sum of its children's; no provisional caption
// is left. Returns the folders checked.
int CheckSums(const TTreeEntry* root)
{
    int folders = 0;
    std::vector<const TTreeEntry*> stack{root};
    while (!stack.empty()) {
        const TTreeEntry* e = stack.back();
        stack.pop_back();
        ++folders;
        double sum = 0;
        for (int i = 0; i < e->ChildCount(); ++i) {
            sum += e->ChildAt(i)->Size();
            stack.push_back(e->ChildAt(i));
        }
        if (e->ImageIndex() != 2) {
            EXPECT_EQ(e->Size(), sum) << e->Path();
        }
        EXPECT_EQ(e->Caption().find(" <--"), std::string::npos) << e->Path();
    }
    return folders;
}

// Another thread creates, removes, renames and swaps folders and files while
// the tree is scanned, with few kept descriptors so that many folders are
// reached again from the root; every scan completes and adds up.
TEST(ReadAheadLifetime, TreeChangingDuringTheScan)
{
    TTempTree t;
    for (int i = 0; i < 12; ++i) {
        t.Dir("m" + std::to_string(i));
        for (int j = 0; j < 12; ++j) {
            const std::string d = "m" + std::to_string(i) + "/n" + std::to_string(j);
            t.Dir(d);
            t.File(d + "/f", 1000 + j);
        }
    }
    std::atomic<bool> done{false};
    std::thread mutator([&] {
        std::mt19937 rng(7);
        const std::string r = t.Root() + "/";
        for (int k = 0; !done; ++k) {
            const std::string a = r + "m" + std::to_string(rng() % 12);
            const std::string b = r + "m" + std::to_string(rng() % 12);
            const std::string n = "/n" + std::to_string(rng() % 12);
            const std::string x = "/x" + std::to_string(k % 5);
            switch (rng() % 5) {
            case 0:
                std::rename((a + n).c_str(), (b + x).c_str());
                break;
            case 1:
                std::rename((b + x).c_str(), (a + n).c_str());
                break;
            case 2:
                mkdir((a + n).c_str(), 0755);
                break;
            case 3:
                unlink((a + n + "/f").c_str());
                rmdir((a + n).c_str());
                break;
            default:
                std::rename(a.c_str(), (r + "tmp").c_str());
                std::rename(b.c_str(), a.c_str());
                std::rename((r + "tmp").c_str(), b.c_str());
            }
        }
    });
    for (int round = 0; round < 15; ++round) {
        ReadAheadOptions options;
        options.MaxKeptFolders = round % 3;
        options.Workers = 2 + round % 2;
        const auto got = ScanReadAhead(t.Root(), options);
        EXPECT_GE(CheckSums(got->Root), 1);
    }
    done = true;
    mutator.join();
}

// The lister used directly: subfolders skipped, unknown or on another file
// system, a second root, all without leaks, hangs or stray descriptors; with
// the skipped subfolders as nodes or still as plain entries.
TEST(ReadAheadLister, ProtocolEdges)
{
    TTempTree t;
    for (const char* d : {"a", "b", "c", "c/x"})
        t.Dir(d);
    t.File("c/x/f", 42);
    const int descriptors = OpenDescriptorCount();
    for (const size_t childNodes : {size_t{64}, size_t{1}}) {
        ReadAheadOptions options;
        options.MaxChildNodes = childNodes;
        ReadAheadLister lister(options);
        TFolderListing listing;
        ASSERT_TRUE(lister.EnterRoot(t.Root(), listing));
        ASSERT_EQ(listing.Subfolders.size(), 3u);
        const std::vector<TSubfolder> subs = listing.Subfolders;
        TSubfolder unknown = subs[0];
        unknown.Name = "not-there";
        EXPECT_FALSE(lister.Enter(unknown, listing));
        TSubfolder elsewhere = subs[0];
        elsewhere.OtherFileSystem = true;
        EXPECT_FALSE(lister.Enter(elsewhere, listing));
        // Enter the last only: the ones before are dropped.
        ASSERT_TRUE(lister.Enter(subs.back(), listing)) << childNodes;
        lister.Leave();
        EXPECT_FALSE(lister.Enter(subs[0], listing)) << "listed before the last: dropped";
        lister.Leave();
        lister.Leave();  // one too many: ignored

        // A second root on the same lister; leaving without entering children.
        ASSERT_TRUE(lister.EnterRoot(t.Root() + "/c", listing));
        ASSERT_EQ(listing.Subfolders.size(), 1u);
        ASSERT_TRUE(lister.Enter(listing.Subfolders[0], listing));
        EXPECT_EQ(listing.SingleLinkTotal, 42u);
        lister.Leave();
        lister.Leave();
        EXPECT_FALSE(lister.EnterRoot(t.Root() + "/missing", listing));
        EXPECT_EQ(OpenDescriptorCount(), descriptors + lister.Stats().OpenFolders);
    }
}

// The read-ahead stays within its folder bound however slow the consumer.
TEST(ReadAheadLister, ReadAheadIsBounded)
{
    TTempTree t;
    for (int i = 0; i < 600; ++i)
        t.Dir("w" + std::to_string(i));
    for (const size_t bound : {size_t{1}, size_t{7}, size_t{64}}) {
        ReadAheadOptions options;
        options.MaxReadyFolders = bound;
        ReadAheadLister lister(options);
        TScanResult got;
        got.Root = got.Tree.AddChildEntry(nullptr, t.Root(), TNode{t.Root(), 0, ""});
        int calls = 0;
        TScanHooks hooks;
        hooks.ProcessPendingMessages = [&] {
            if (++calls % 50 == 0)
                std::this_thread::sleep_for(milliseconds(5));  // let the workers run ahead
        };
        hooks.EventInterval = {};
        ScanFolderWith(got.Tree, got.Root, hooks, lister);
        EXPECT_EQ(got.Root->ChildCount(), 600);
        EXPECT_LE(lister.Stats().MostReady, bound + 1) << bound;
    }
}

}  // namespace
