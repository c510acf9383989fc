// Disks that change under the scan: another process creates, removes, moves
// and swaps folders (also for symbolic links to "/" and to the scanned root)
// while the scan runs; folders lose their permissions in the middle of a scan.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/DirLister.h"
#include "sizetree/Scan.h"

namespace {

constexpr int kGroups = 8;
constexpr int kPerGroup = 8;
constexpr int kChain = 20;  // deeper than the listers keep descriptors for

// Names found under "/" that the test tree never holds: seeing one means the
// scan followed a link out of the tree.
const std::set<std::string> kOutsideNames = {"proc", "usr", "etc", "sys", "dev", "bin", "var"};

std::string ChainPath(const std::string& root, int levels)
{
    std::string p = root + "/deep";
    for (int i = 0; i < levels; ++i)
        p += "/c";
    return p;
}

void WriteFile(const std::string& path, off_t bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        // The other process ignores failures: the folder may just have moved.
        [[maybe_unused]] const int sized = ftruncate(fd, bytes);
        close(fd);
    }
}

// Swaps the folder at path for a symbolic link to target and back again.
void SwapForLink(const std::string& path, const std::string& hold, const std::string& target)
{
    if (std::rename(path.c_str(), hold.c_str()) != 0)
        return;
    if (symlink(target.c_str(), path.c_str()) == 0) {
        usleep(50);
        unlink(path.c_str());
    }
    std::rename(hold.c_str(), path.c_str());
}

// The other process: changes the tree as fast as it can until killed.
[[noreturn]] void Mutate(const std::string& root)
{
    std::mt19937 rng(20261208);
    for (unsigned k = 0;; ++k) {
        const std::string a = root + "/m" + std::to_string(rng() % kGroups);
        const std::string b = root + "/m" + std::to_string(rng() % kGroups);
        const std::string n = "/n" + std::to_string(rng() % kPerGroup);
        const std::string hold = root + "/hold" + std::to_string(k % 4);
        switch (rng() % 9) {
        case 0:
            std::rename((a + n).c_str(), (b + "/x" + std::to_string(k % 6)).c_str());
            break;
        case 1:
            std::rename((b + "/x" + std::to_string(k % 6)).c_str(), (a + n).c_str());
            break;
        case 2:
            if (mkdir((a + n).c_str(), 0755) == 0)
                WriteFile(a + n + "/f", static_cast<off_t>(rng() % 100000));
            break;
        case 3:
            unlink((a + n + "/f").c_str());
            rmdir((a + n).c_str());
            break;
        case 4:
            std::rename(a.c_str(), (root + "/tmp").c_str());
            std::rename(b.c_str(), a.c_str());
            std::rename((root + "/tmp").c_str(), b.c_str());
            break;
        case 5:
            SwapForLink(a + n, hold, rng() % 2 ? "/" : root);
            break;
        case 6:
            SwapForLink(ChainPath(root, 1 + static_cast<int>(rng() % kChain)), hold, "/");
            break;
        case 7:
            // A folder turned into a file of the same name, and back.
            if (std::rename((a + n).c_str(), hold.c_str()) == 0) {
                WriteFile(a + n, 4096);
                unlink((a + n).c_str());
                std::rename(hold.c_str(), (a + n).c_str());
            }
            break;
        default:
            WriteFile(a + n + "/f", static_cast<off_t>(rng() % 100000));
            break;
        }
    }
}

class TMutator {
public:
    explicit TMutator(const std::string& root)
    {
        pid_ = fork();
        if (pid_ == 0)
            Mutate(root);
    }
    ~TMutator()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    TMutator(const TMutator&) = delete;
    TMutator& operator=(const TMutator&) = delete;
    bool Started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

void BuildChangingTree(TTempTree& t)
{
    for (int i = 0; i < kGroups; ++i) {
        t.Dir("m" + std::to_string(i));
        for (int j = 0; j < kPerGroup; ++j) {
            const std::string d = "m" + std::to_string(i) + "/n" + std::to_string(j);
            t.Dir(d);
            t.File(d + "/f", 1000u * static_cast<unsigned>(i + 1) + static_cast<unsigned>(j));
        }
    }
    t.Dir("deep");
    std::string rel = "deep";
    for (int i = 0; i < kChain; ++i) {
        rel += "/c";
        t.Dir(rel);
        t.File(rel + "/f", 777);
    }
}

std::string OutsideName(const TTreeEntry* root)
{
    for (const std::string& name : kOutsideNames)
        if (const TTreeEntry* e = FindNamed(root, name))
            return e->Path();
    return "";
}

// Another process changes the tree during every scan; each scan completes,
// every finished folder adds up, nothing outside the tree is reached and no
// descriptor is left open.
TEST(HostileChanging, TreeChangedByAnotherProcess)
{
    TTempTree t;
    BuildChangingTree(t);
    const int baseline = OpenDescriptorCount();
    TMutator mutator(t.Root());
    ASSERT_TRUE(mutator.Started());
    for (int round = 0; round < 40; ++round) {
        int calls = 0;
        TScanHooks hooks;
        hooks.ProcessPendingMessages = [&] {
            if (++calls % 5 == 0)
                usleep(100);  // room for the other process
        };
        hooks.EventInterval = {};
        TScanned s(t.Root(), hooks);
        int finished = 0;
        EXPECT_EQ(CheckFinished(s.Tree, s.Root, &finished), "") << "round " << round;
        EXPECT_GT(finished, kGroups) << "round " << round;
        EXPECT_EQ(OutsideName(s.Root), "") << "round " << round;
        EXPECT_LT(s.Root->Size(), 1e9) << "round " << round;
        EXPECT_EQ(OpenDescriptorCount(), baseline) << "round " << round;
    }
}

// The same through the real program's report mode.
TEST(HostileChanging, ReportOfATreeChangedByAnotherProcess)
{
    TTempTree t;
    BuildChangingTree(t);
    TMutator mutator(t.Root());
    ASSERT_TRUE(mutator.Started());
    for (int round = 0; round < 4; ++round) {
        const TBinaryRun run = RunBinary({"--report", t.Root()}, 120);
        ASSERT_FALSE(run.TimedOut);
        // A folder that vanishes or is swapped under the scan is told on
        // standard error and makes the status 1; nothing else is.
        EXPECT_EQ(run.Status, run.Err.empty() ? 0 : 1) << run.Err;
        for (const std::string& line : Lines(run.Err))
            EXPECT_EQ(line.rfind("tallowin: cannot read '" + t.Root() + "/", 0), 0u) << line;
        const std::vector<std::string> lines = Lines(run.Out);
        ASSERT_GT(lines.size(), 10u);
        EXPECT_EQ(lines[0], t.Root());
        for (const std::string& line : lines)
            for (const std::string& name : kOutsideNames)
                ASSERT_FALSE(line.size() > name.size() + 2
                             && line.compare(line.size() - name.size() - 2, std::string::npos, "  " + name)
                                 == 0)
                    << "left the tree: " << line;
    }
}

// Folders lose their permissions during the scan, as an unprivileged user
// (root reads everything). Groups: untouched; mode 0 (cannot be listed);
// mode 0400 (listed, but nothing in it can be looked at or opened).
struct TShutTree {
    TTempTree T;
    std::string Top;
    static constexpr int kFolders = 24;
    static constexpr double kLoose = 7;

    TShutTree()
    {
        Top = T.Dir("u");
        Own(Top);
        for (int k = 0; k < kFolders; ++k) {
            const std::string d = "u/d" + std::to_string(k);
            Own(T.Dir(d));
            Own(T.File(d + "/loose", static_cast<uint64_t>(kLoose)));
            for (int j = 0; j < 4; ++j) {
                Own(T.Dir(d + "/s" + std::to_string(j)));
                Own(T.File(d + "/s" + std::to_string(j) + "/f", Bytes(k, j)));
            }
        }
    }
    static uint64_t Bytes(int k, int j)
    {
        return 1000u * static_cast<unsigned>(k + 1) + static_cast<unsigned>(j);
    }
    static double Full(int k)
    {
        double sum = 0;
        for (int j = 0; j < 4; ++j)
            sum += static_cast<double>(Bytes(k, j));
        return sum + kLoose;
    }
    static void Own(const std::string& path)
    {
        if (geteuid() == 0 && lchown(path.c_str(), kNobody, kNobody) != 0)
            ADD_FAILURE() << "lchown " << path;
    }
};

// The message callback takes the permissions of every folder of u whose scan
// has not started yet, on its first call after u's scan has begun.
TScanHooks ShuttingHooks(const TShutTree& shut, TTreeEntry*& top, bool& done)
{
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&shut, &top, &done] {
        if (done || !top || top->ChildCount() == 0)
            return;
        done = true;
        std::set<std::string> started;
        for (int i = 0; i < top->ChildCount(); ++i)
            started.insert(top->ChildAt(i)->Name());
        for (int k = 0; k < TShutTree::kFolders; ++k) {
            const std::string name = "d" + std::to_string(k);
            if (k % 3 != 0 && !started.count(name))
                chmod((shut.Top + "/" + name).c_str(), k % 3 == 1 ? 0 : 0400);
        }
    };
    hooks.EventInterval = {};
    return hooks;
}

// strict: the sequential lister, which lists each folder only when the scan
// reaches it, so that every folder shut in time must come out empty.
std::string ScanShutTree(const TShutTree& shut, bool strict)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{shut.T.Root(), 0, ""});
    TTreeEntry* top = nullptr;
    bool done = false;
    TScanHooks hooks = ShuttingHooks(shut, top, done);
    auto findTop = [&, inner = hooks.ProcessPendingMessages] {
        if (!top && root->ChildCount() > 0)
            top = root->ChildAt(0);
        inner();
    };
    hooks.ProcessPendingMessages = findTop;
    const int baseline = OpenDescriptorCount();
    if (strict) {
        DirLister lister;
        ScanFolderWith(tree, root, hooks, lister);
    } else {
        ScanFolder(tree, root, hooks);
    }
    if (OpenDescriptorCount() != baseline)
        return "descriptors left open";
    if (!done)
        return "the permissions were never taken";
    std::string fault = CheckFinished(tree, root);
    if (!fault.empty())
        return fault;
    if (!top || top->ChildCount() != TShutTree::kFolders)
        return "u lost folders";
    int emptied = 0;
    for (int i = 0; i < top->ChildCount(); ++i) {
        const TTreeEntry* d = top->ChildAt(i);
        const int k = std::stoi(d->Name().substr(1));
        const bool full = d->Size() == TShutTree::Full(k);
        const bool empty = d->Size() == 0;
        emptied += empty;
        if (k % 3 == 0 && !full)
            return d->Name() + " was not touched but is not whole";
        // Read-ahead may list part of a folder before its permissions go and
        // the rest after: only the sequential walk must see all or nothing.
        if (strict && !full && !empty)
            return d->Name() + " is neither whole nor empty: " + d->Caption();
        // Read-ahead may read a folder's names just before its permissions
        // go and then look at none of them: children at 0, the failure kept.
        if (empty && k % 3 == 1 && d->ChildCount() != 0 && (strict || d->ReadError() == 0))
            return d->Name() + " could not be listed but has children";
        if (empty && k % 3 == 2 && d->ChildCount() != 4)
            return d->Name() + " was listed: its four folders should show, at 0";
    }
    if (strict && emptied < TShutTree::kFolders * 2 / 3 - 1)
        return "only " + std::to_string(emptied) + " shut folders came out empty";
    return "";
}

TEST(HostileChanging, FoldersShutDuringTheScanSequential)
{
    TShutTree shut;
    EXPECT_EQ(InChild([&] { return ScanShutTree(shut, true); }, 60, true), "");
}

TEST(HostileChanging, FoldersShutDuringTheScan)
{
    TShutTree shut;
    EXPECT_EQ(InChild([&] { return ScanShutTree(shut, false); }, 60, true), "");
}

}  // namespace
