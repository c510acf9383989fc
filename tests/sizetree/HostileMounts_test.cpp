// Mounts inside the scanned tree, made in a private mount namespace of a
// child process (so nothing leaks to the machine): bind mounts of the same
// file system into itself, of a folder into its own subfolder, and a tmpfs.
// None is entered, so no folder is counted twice.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/DirLister.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/ReadAheadLister.h"
#include "sizetree/ScanRoute.h"

namespace {

// Layout: a/f 1 MB, a/b/g 2 MB, a/b/loop (a bound onto it), c/h 0.5 MB,
// copy (a/b bound onto it), self (the root bound onto it), tmp (a tmpfs
// holding 3 MB).
std::string MountAndScan(const TTempTree& t)
{
    if (std::string fault = PrivateMounts(); !fault.empty())
        return fault;
    const std::string r = t.Root();
    for (const std::string& fault :
         {Mount(r + "/a", r + "/a/b/loop", nullptr, MS_BIND),
          Mount(r + "/a/b", r + "/copy", nullptr, MS_BIND), Mount(r, r + "/self", nullptr, MS_BIND),
          Mount("tmpfs", r + "/tmp", "tmpfs", 0)})
        if (!fault.empty())
            return kSkip + fault;
    const int fd = open((r + "/tmp/big").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const bool made = fd >= 0 && ftruncate(fd, 3000000) == 0;
    if (fd >= 0)
        close(fd);
    if (!made)
        return "cannot write into the tmpfs";

    TScanned s(r);
    std::string fault = CheckFinished(s.Tree, s.Root);
    if (!fault.empty())
        return fault;
    if (s.Root->Size() != 3500000)
        return "root counts " + std::to_string(s.Root->Size()) + " bytes, not 3500000";
    for (const char* mounted : {"a/b/loop", "copy", "self", "tmp"}) {
        const TTreeEntry* e = FindEntry(s.Tree, r + "/" + mounted);
        if (!e || e->Size() != 0 || e->ChildCount() != 0)
            return std::string(mounted) + " was entered or is missing";
        // Looked at, not opened: the entry is the mounted folder.
        struct stat st;
        if (stat(e->Path().c_str(), &st) != 0 || e->Device() != st.st_dev || e->Inode() != st.st_ino)
            return std::string(mounted) + " is not named by the mounted folder's identity";
    }

    const TBinaryRun run = RunBinary({"--report", "--by-name", r}, 60);
    const auto line = [](int level, double bytes, const std::string& name) {
        return std::string(static_cast<size_t>(level) * 2, ' ') + SizeCaptionText(bytes) + " MB  " + name;
    };
    const std::vector<std::string> expected = {
        r,
        line(1, 3000000, "a"),
        line(2, 1000000, "[FILES]"),
        line(2, 2000000, "b"),
        line(3, 2000000, "[FILES]"),
        line(3, 0, "loop"),
        line(1, 500000, "c"),
        line(2, 500000, "[FILES]"),
        line(1, 0, "copy"),
        line(1, 0, "self"),
        line(1, 0, "tmp"),
    };
    if (run.Status != 0 || Lines(run.Out) != expected)
        return "report (status " + std::to_string(run.Status) + "):\n" + run.Out + run.Err;
    return "";
}

// A tmpfs mounted on `late` after the root was listed, so the listing took
// it for a plain folder: each lister refuses it when it opens it, and the
// scan shows it empty, without an error.
std::string MountDuringScan(const TTempTree& t)
{
    if (std::string fault = PrivateMounts(); !fault.empty())
        return fault;
    const std::string r = t.Root();
    const int rootFd = open(r.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool noCrossing = rootFd >= 0 && RouteOf(rootFd).NoCrossing;
    if (rootFd >= 0)
        close(rootFd);
    if (!noCrossing)
        return kSkip + "no openat2 here";
    const auto mountLate = [&](const std::string& name) {
        std::string fault = Mount("tmpfs", r + "/" + name, "tmpfs", 0);
        const int fd = open((r + "/" + name + "/big").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 || ftruncate(fd, 3000000) != 0)
            fault += " no file in the tmpfs";
        if (fd >= 0)
            close(fd);
        return fault;
    };

    DirLister sequential;
    TFolderListing listing;
    if (!sequential.EnterRoot(r, listing) || listing.Subfolders.size() != 3)
        return "the root's listing";
    if (std::string fault = mountLate("late"); !fault.empty())
        return kSkip + fault;
    for (const TSubfolder& sub : listing.Subfolders) {
        TFolderListing inside;
        const bool entered = sequential.Enter(sub, inside);
        if (entered)
            sequential.Leave();
        if (sub.Name == "late" && (entered || inside.Error != 0))
            return "the sequential lister entered the tmpfs, or called it unreadable";
    }

    ReadAheadOptions options;
    std::atomic<bool> mounted{false};
    std::string mountFault;
    options.ListStep = [&](int fd, const FolderPlace& place, TFolderListing& l, TListScratch& scratch) {
        ListFolder(fd, place, l, scratch);
        if (!mounted.exchange(true))  // the root is listed first
            mountFault = mountLate("later");
    };
    ReadAheadLister readAhead(options);
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, r, TNode{r, 0, ""});
    ScanFolderWith(tree, root, {}, readAhead);
    if (!mountFault.empty())
        return kSkip + mountFault;
    const TTreeEntry* later = FindEntry(tree, r + "/later");
    if (!later || later->Size() != 0 || later->ChildCount() != 0 || later->ReadError() != 0)
        return "the read-ahead lister entered the tmpfs, or called it unreadable";
    if (root->Size() != 1000 || root->ReadError() != 0 || root->Counts().UnreadableBelow != 0)
        return "root counts " + std::to_string(root->Size()) + " bytes";
    return "";
}

TEST(HostileMounts, MountMadeDuringTheScanIsNotEntered)
{
    TTempTree t;
    for (const char* d : {"early", "late", "later"})
        t.Dir(d);
    t.File("early/f", 1000);
    const std::string result = InChild([&] { return MountDuringScan(t); }, 120);
    if (result.rfind(kSkip, 0) == 0)
        GTEST_SKIP() << result.substr(kSkip.size());
    EXPECT_EQ(result, "");
}

TEST(HostileMounts, BindMountsAreNotEntered)
{
    TTempTree t;
    for (const char* d : {"a", "a/b", "a/b/loop", "c", "copy", "self", "tmp"})
        t.Dir(d);
    t.File("a/f", 1000000);
    t.File("a/b/g", 2000000);
    t.File("c/h", 500000);
    const std::string result = InChild([&] { return MountAndScan(t); }, 120);
    if (result.rfind(kSkip, 0) == 0)
        GTEST_SKIP() << result.substr(kSkip.size());
    EXPECT_EQ(result, "");
}

}  // namespace
