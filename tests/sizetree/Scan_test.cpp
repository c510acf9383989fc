#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "ScanHelpers.h"
#include "TempTree.h"
#include "mounts/MountTable.h"
#include "sizetree/DirLister.h"
#include "sizetree/Ordering.h"

namespace {

// Loose files: a FILES entry exactly when their total is above 0.
TEST(ScanFolder, LooseFileTotals)
{
    struct TCase {
        std::vector<uint64_t> Sizes;
        const char* FilesCaption;  // nullptr: no FILES entry
    };
    const TCase cases[] = {
        {{}, nullptr},
        {{0, 0, 0}, nullptr},
        {{50000}, "         0 MB  [FILES]"},
        {{50001}, "       0.1 MB  [FILES]"},
        {{100000, 50000}, "       0.2 MB  [FILES]"},
        {{250000}, "       0.2 MB  [FILES]"},
        {{5000000000ULL}, "      5000 MB  [FILES]"},  // sparse, counted in full
    };
    for (const TCase& c : cases) {
        TTempTree t;
        t.Dir("f");
        uint64_t total = 0;
        for (size_t i = 0; i < c.Sizes.size(); ++i) {
            t.File("f/file" + std::to_string(i), c.Sizes[i]);
            total += c.Sizes[i];
        }
        TScanned s(t.Root());
        TTreeEntry* f = Child(s.Root, "f");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Size(), static_cast<double>(total));
        EXPECT_EQ(s.Root->Size(), static_cast<double>(total));
        TTreeEntry* files = Child(f, "");
        if (!c.FilesCaption) {
            EXPECT_EQ(f->ChildCount(), 0);
            continue;
        }
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->Caption(), c.FilesCaption);
        EXPECT_EQ(files->ImageIndex(), 2);
        EXPECT_EQ(files->ChildCount(), 0);
        EXPECT_EQ(files->Node().Path, t.Root() + "/f/[FILES]");
    }
}

TEST(ScanFolder, FoldersCaptionsAndPaths)
{
    TTempTree t;
    t.Dir("empty");
    t.Dir(".hidden");
    t.File(".hidden/x", 1500000);
    t.Dir("...");
    t.Dir("a");
    t.Dir("a/b");
    t.File("a/b/y", 2000000);
    t.File("a/z", 500000);
    t.File(".dotfile", 100000);
    for (const std::string& root : {t.Root(), t.Root() + "/"}) {
        TScanned s(root);
        EXPECT_EQ(s.Root->Caption(), root);  // a root never shows its size
        EXPECT_EQ(s.Root->Size(), 4100000.0);
        TTreeEntry* empty = Child(s.Root, "empty");
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty->Caption(), "         0 MB  empty");
        EXPECT_EQ(empty->ChildCount(), 0);
        EXPECT_EQ(empty->ImageIndex(), 0);
        EXPECT_EQ(Child(s.Root, ".hidden")->Caption(), "       1.5 MB  .hidden");
        EXPECT_EQ(Child(s.Root, "...")->Caption(), "         0 MB  ...");
        TTreeEntry* a = Child(s.Root, "a");
        EXPECT_EQ(a->Caption(), "       2.5 MB  a");
        EXPECT_EQ(a->Node().Path, t.Root() + "/a");
        EXPECT_EQ(Child(a, "b")->Node().Path, t.Root() + "/a/b");
        EXPECT_EQ(Child(a, "")->Node().Path, t.Root() + "/a/[FILES]");
        EXPECT_EQ(Child(s.Root, "")->Node().Path, t.Root() + "/[FILES]");
        EXPECT_EQ(Child(s.Root, "")->Caption(), "       0.1 MB  [FILES]");
        // Size order, larger first, at every level.
        EXPECT_EQ(ChildCaptions(a), (std::vector<std::string>{"         2 MB  b", "       0.5 MB  [FILES]"}));
        EXPECT_EQ(s.Root->ChildAt(0), a);
    }
}

// Links are never followed; FIFOs and devices are never opened.
TEST(ScanFolder, SpecialFilesCountTheirOwnSize)
{
    TTempTree t;
    t.Dir("d");
    t.File("d/data", 1000);
    t.Link(".", "d/self");   // loop onto its own folder
    t.Link("..", "d/up");    // loop onto the root
    t.Link("/", "d/slash");  // whole file system
    t.Link("missing-target", "d/dangling");
    t.Fifo("d/pipe");  // opening it would block
    TScanned s(t.Root());
    TTreeEntry* d = Child(s.Root, "d");
    ASSERT_NE(d, nullptr);
    const double linkBytes = 1 + 2 + 1 + 14;  // a link's size is its target's length
    EXPECT_EQ(d->Size(), 1000 + linkBytes);
    EXPECT_EQ(d->ChildCount(), 1);  // only the FILES entry
}

TEST(ScanFolder, NonFolderRootStaysEmpty)
{
    TScanned s("/dev/null");
    EXPECT_EQ(s.Root->ChildCount(), 0);
    EXPECT_EQ(s.Root->Size(), 0);
}

TEST(ScanFolder, NamesAreBytes)
{
    const std::string names[] = {
        std::string("new\nline"),
        std::string("bad\xff\xfe utf8"),
        std::string(255, 'n'),
        std::string("back\\slash"),
    };
    TTempTree t;
    for (const std::string& n : names) {
        t.Dir(n);
        t.File(n + "/f", 200000);
    }
    TScanned s(t.Root());
    for (const std::string& n : names) {
        TTreeEntry* e = Child(s.Root, n);
        ASSERT_NE(e, nullptr) << n;
        EXPECT_EQ(e->Node().Name, n);
        EXPECT_EQ(e->Node().Path, t.Root() + "/" + n);
        EXPECT_EQ(e->Caption(), "       0.2 MB  " + n);
    }
}

// As root everything is readable: the unreadable case runs as another user in
// a child process, which reports by its exit status.
TEST(ScanFolder, UnreadableFolderAddsNothing)
{
    TTempTree t;
    t.Dir("open");
    t.File("open/f", 300000);
    t.Dir("shut");
    t.File("shut/f", 700000);
    t.Dir("shut/inner");
    ASSERT_EQ(chmod((t.Root() + "/shut").c_str(), 0), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        TScanned s(t.Root());
        TTreeEntry* shut = Child(s.Root, "shut");
        int bad = 0;
        bad |= !shut || shut->ChildCount() != 0 || shut->Size() != 0;
        bad |= !shut || shut->Caption() != "         0 MB  shut";
        bad |= s.Root->Size() != 300000;
        bad |= !Child(s.Root, "open");
        _exit(bad ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: could not drop privileges";
}

TEST(ScanFolder, UnlistableRootStaysEmpty)
{
    TTempTree t;
    TScanned s(t.Root() + "/does-not-exist");
    EXPECT_EQ(s.Root->ChildCount(), 0);
    EXPECT_EQ(s.Root->Size(), 0);
}

// Deeper than PATH_MAX and than any descriptor budget: sizes still add up,
// with a handful of descriptors open at any time. Sequential, so that the
// callback runs exactly once per folder.
TEST(ScanFolder, TenThousandLevels)
{
    TTempTree t;
    t.Dir("top");
    const int levels = 10000;
    t.Chain("top", levels, "level-name", 123456);
    const int baseline = OpenDescriptorCount();
    int maxOpen = 0;
    int calls = 0;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] {
        if (++calls % 500 == 0)
            maxOpen = std::max(maxOpen, OpenDescriptorCount() - baseline);
    };
    hooks.EventInterval = {};
    TScanned s(t.Root(), hooks, TEngine::Sequential);
    EXPECT_EQ(calls, levels + 2);  // root, top and the chain
    EXPECT_LE(maxOpen, DirLister::kMaxOpenFolders + 1);
    EXPECT_EQ(OpenDescriptorCount(), baseline);
    EXPECT_EQ(s.Root->Size(), 123456);
    const TTreeEntry* e = Child(s.Root, "top");
    for (int i = 0; i < levels; ++i) {
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Size(), 123456);
        e = Child(e, "level-name");
    }
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Caption(), "       0.1 MB  level-name");
    const std::string deepest = e->Path();
    EXPECT_GT(deepest.size(), static_cast<size_t>(PATH_MAX));
    EXPECT_EQ(deepest.size(), t.Root().size() + 4 + levels * 11);
}

// A folder's children are added in listing order, FILES last, while it is
// scanned; the ancestors of the folder under scan show " <--". Sequential:
// one callback per folder.
TEST(ScanFolder, ProvisionalCaptionsWhileScanning)
{
    TTempTree t;
    t.Dir("a");
    t.Dir("a/b");
    t.Dir("a/b/c");
    t.File("a/b/c/f", 10);
    std::vector<std::string> seen;
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{t.Root(), 0, ""});
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] {
        std::string line;
        for (const TTreeEntry* e = root; e->ChildCount() > 0; e = e->ChildAt(0))
            line += "[" + e->ChildAt(0)->Caption() + "]";
        seen.push_back(line);
    };
    hooks.EventInterval = {};
    ScanFolderSequential(tree, root, hooks);
    const std::vector<std::string> expected = {
        "",
        "[a <--]",
        "[a <--][b <--]",
        "[a <--][b <--][c <--]",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(root->ChildAt(0)->Caption(), "         0 MB  a");
}

// Sequential: one callback per folder.
TEST(ScanFolder, StopRequestedEndsAtOnce)
{
    TTempTree t;
    for (int i = 0; i < 20; ++i) {
        t.Dir("d" + std::to_string(i));
        t.File("d" + std::to_string(i) + "/f", 1000);
    }
    int calls = 0;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] { ++calls; };
    hooks.StopRequested = [&] { return calls >= 4; };
    hooks.EventInterval = {};
    const int baseline = OpenDescriptorCount();
    TScanned s(t.Root(), hooks, TEngine::Sequential);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(s.Root->ChildCount(), 3);
    EXPECT_EQ(OpenDescriptorCount(), baseline);
}

// Deleting the tree under scan from the message callback ends the scan
// without touching the deleted entries (AddressSanitizer watches).
// Sequential: one callback per folder.
TEST(ScanFolder, DeletingTheScannedTreeStopsTheScan)
{
    TTempTree t;
    t.Dir("a");
    t.Dir("a/b");
    t.Dir("a/b/c");
    for (int victim = 0; victim < 3; ++victim) {
        TSizeTree tree;
        TTreeEntry* other = tree.AddChildEntry(nullptr, "other", TNode{"/x", 0, ""});
        TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{t.Root(), 0, ""});
        int calls = 0;
        TScanHooks hooks;
        hooks.ProcessPendingMessages = [&] {
            if (++calls == 3) {
                TTreeEntry* doomed = victim == 0 ? root : victim == 1 ? root->ChildAt(0) : other;
                tree.DeleteEntry(doomed);
            }
        };
        hooks.EventInterval = {};
        ScanFolderSequential(tree, root, hooks);
        if (victim == 2) {
            EXPECT_EQ(calls, 4);  // another tree's deletion does not matter
            EXPECT_EQ(tree.TopLevelCount(), 1);
        } else {
            EXPECT_EQ(calls, 3);
        }
    }
}

// ScanFolder (read-ahead) calls the callback at the start of every folder,
// and possibly more often while it waits for a listing.
TEST(ScanFolder, CallbackAtLeastOncePerFolder)
{
    TTempTree t;
    int folders = 1;
    for (int i = 0; i < 5; ++i) {
        const std::string d = "d" + std::to_string(i);
        t.Dir(d);
        t.File(d + "/f", 1000);
        for (int j = 0; j < 3; ++j)
            t.Dir(d + "/e" + std::to_string(j));
        folders += 4;
    }
    int calls = 0;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] { ++calls; };
    hooks.EventInterval = {};
    TScanned s(t.Root(), hooks);
    EXPECT_GE(calls, folders);
    EXPECT_EQ(s.Root->Size(), 5000);
}

// Mount points under the scanned folder are shown but not entered.
TEST(ScanFolder, StaysOnOneFileSystem)
{
    std::string table, mountPoint;
    ReadOwnMountTable(table);
    for (const MountEntry& mount : ParseMountTable(table)) {
        const std::string& point = mount.MountPoint;
        const size_t slash = point.rfind('/');
        if (slash == 0 || point.rfind("/proc", 0) == 0)
            continue;
        struct stat st;
        if (stat(point.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            mountPoint = point;
            break;
        }
    }
    if (mountPoint.empty())
        GTEST_SKIP() << "no mount point below a folder other than / on this machine";
    const std::string parent = mountPoint.substr(0, mountPoint.rfind('/'));
    const std::string name = mountPoint.substr(mountPoint.rfind('/') + 1);
    int calls = 0;
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [&] { ++calls; };
    TScanned s(parent, hooks);
    TTreeEntry* m = Child(s.Root, name);
    ASSERT_NE(m, nullptr) << mountPoint;
    EXPECT_EQ(m->ChildCount(), 0);
    EXPECT_EQ(m->Size(), 0);
    EXPECT_EQ(m->Caption(), "         0 MB  " + name);
}

}  // namespace
