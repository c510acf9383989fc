// Acting on a scanned tree after the disk changed under it: one table of
// hostile cases, each run through the walk, the listing of loose files, the
// rescan and Move to Trash. Afterwards nothing outside the tree has moved,
// the right item (and only it) is in the trash with a valid info file, no
// descriptor is left open, and the tree equals a fresh scan. The trash is a
// private one (its data folder given to the move); the cases of a mount's
// own trash run on a tmpfs in a private mount namespace.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "HostileSupport.h"
#include "ReadAheadCompare.h"
#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/Rescan.h"
#include "sizetree/Trash.h"

namespace {

namespace fs = std::filesystem;

// The scanned tree (T), a folder outside it (O) and the user's data folder.
struct Disk {
    TTempTree Tree, Outside, Home;
    std::string T(const std::string& rel) const { return Tree.Path(rel); }
    std::string O(const std::string& rel) const { return Outside.Path(rel); }
};

struct Case {
    const char* What = "";
    std::function<std::string(Disk&)> Build = {};  // before the scan; "" or kSkip + why not
    std::string Target = {};                       // the folder acted on, relative to T
    std::vector<std::string> Roots = {""};         // the roots scanned, relative to T
    std::function<void(Disk&)> Change = {};        // after the scan
    std::function<void(Disk&)> LastMoment = {};    // in the trash, just before the rename
    std::function<void(Disk&)> Restore = {};       // undoes the changes, for the fresh scan
    bool Reachable = true;                         // the walk, listing and rescan go through
    TrashFailure Trash = TrashFailure::None;
    std::string TrashFolder = {};  // relative to T; "": the home trash
};

// Every name below dir with its identity: what "nothing moved" compares.
std::map<std::string, std::string> Snapshot(const std::string& dir)
{
    std::map<std::string, std::string> names;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir)) {
        struct stat st {};
        lstat(e.path().c_str(), &st);
        names[e.path().string().substr(dir.size())] = std::to_string(st.st_ino);
    }
    return names;
}

size_t NamesIn(const std::string& dir)
{
    std::error_code ec;
    return fs::exists(dir, ec) ? static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})) : 0;
}

// "" when trashedAs holds the recorded item and its info file says path.
std::string CheckTrashed(const std::string& trashedAs, const TrashRequest& q, const std::string& path)
{
    struct stat st {};
    if (lstat(trashedAs.c_str(), &st) != 0 || st.st_ino != q.Inode || st.st_dev != q.Device)
        return "the trash does not hold the item at " + trashedAs;
    const size_t slash = trashedAs.rfind("/files/");
    std::ifstream in(trashedAs.substr(0, slash) + "/info/" + trashedAs.substr(slash + 7) + ".trashinfo");
    std::stringstream info;
    info << in.rdbuf();
    // Path= percent-encoded but for the unreserved bytes and "/".
    const std::string text = info.str();
    const size_t end = text.find("\nDeletionDate=");
    std::string decoded;
    for (size_t i = 18; end != std::string::npos && i < end; ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < end) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            const bool plain = std::isalnum(static_cast<unsigned char>(c)) || std::strchr("-._~/", c);
            decoded += plain ? std::string(1, c) : "<bad>";
        }
    }
    const std::regex date("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    if (!text.starts_with("[Trash Info]\nPath=") || decoded != path
        || !std::regex_match(text.substr(end + 14), date))
        return "info file: " + text.substr(0, 300);
    return "";
}

std::string RunCase(const Case& c, Disk& d)
{
    if (std::string fault = c.Build(d); !fault.empty())
        return fault;
    const std::string dataHome = d.Home.Path("data");
    TSizeTree tree;
    std::map<const TTreeEntry*, LinkLedger> ledgers;
    for (const std::string& rel : c.Roots) {
        TTreeEntry* root = tree.AddChildEntry(nullptr, d.T(rel), TNode{d.T(rel), 0, ""});
        ScanFolder(tree, root, {}, ledgers[root]);
    }
    const auto outside = Snapshot(d.O(""));
    const int descriptors = OpenDescriptorCount();
    if (c.Change)
        c.Change(d);
    const std::string path = d.T(c.Target);
    TTreeEntry* e = FindEntry(tree, path);
    if (!e || e->Path() != path)
        return "FindEntry missed " + path;
    LinkLedger& ledger = ledgers[&EntryAtDepth(*e, 0)];

    if (bool(OpenWalk(PlanWalk(*e)).Refusal) == c.Reachable)
        return c.Reachable ? "the walk refused" : "the walk went through";
    const LooseFileListing listing = ListLooseFilesAt(PlanWalk(*e), {});
    const TTreeEntry* files = Child(e, "");
    if (!files)
        return "no FILES entry";
    if (c.Reachable ? listing.Error != 0 || listing.Files.size() != files->Counts().Files
                    : listing.Error != kReadChanged || !listing.Files.empty())
        return "the listing: error " + std::to_string(listing.Error) + ", files "
            + std::to_string(listing.Files.size());
    if (RescanEntry(tree, e, ledger, {}).Rescanned != c.Reachable)
        return "the rescan";

    TrashRequest q = TrashRequestFor(*e, dataHome);
    int atRename = 0;
    q.BeforeRename = [&] {
        atRename = OpenDescriptorCount() - descriptors;
        if (c.LastMoment)
            c.LastMoment(d);
    };
    const TrashResult moved = MoveToTrash(q);
    if (moved.Failure != c.Trash)
        return "the trash: failure " + std::to_string(int(moved.Failure)) + " at " + moved.Where + ", errno "
            + std::to_string(moved.Error);
    const std::string trash = c.TrashFolder.empty() ? dataHome + "/Trash" : d.T(c.TrashFolder);
    if (moved.Moved()) {
        const std::string fault = moved.TrashedAs == trash + "/files/" + e->Name()
            ? CheckTrashed(moved.TrashedAs, q, c.TrashFolder.empty() ? path : path.substr(d.T("mnt/").size()))
            : "moved to " + moved.TrashedAs;
        if (!fault.empty())
            return fault;
        RemoveScannedEntry(tree, e, ledger, {});
    }
    if (NamesIn(trash + "/files") != moved.Moved() || NamesIn(trash + "/info") != moved.Moved())
        return "the trash holds something else";
    if (atRename > 4)
        return std::to_string(atRename) + " descriptors open at the rename";
    if (c.Restore)
        c.Restore(d);
    if (Snapshot(d.O("")) != outside)
        return "something outside the tree moved";
    if (OpenDescriptorCount() != descriptors)
        return "a descriptor was left open";
    for (TTreeEntry* root = tree.FirstTopLevelEntry(); root; root = tree.NextSibling(root))
        if (std::string fault = FirstDifference(root, ScanSequential(root->Path())->Root); !fault.empty())
            return "not a fresh scan: " + fault;
    return "";
}

void Rename(const std::string& from, const std::string& to)
{
    fs::rename(from, to);
}

// A folder swapped for a link into O, and back.
void ToLink(Disk& d, const std::string& rel)
{
    Rename(d.T(rel), d.O("real"));
    fs::create_directory_symlink(d.O(""), d.T(rel));
}
void FromLink(Disk& d, const std::string& rel)
{
    fs::remove(d.T(rel));
    Rename(d.O("real"), d.T(rel));
}

// A tmpfs on T/mnt with data/dir/f in it: the item is on another device than
// the home trash, whose own trash is its mount's.
std::string MountedDisk(Disk& d)
{
    d.Tree.Dir("mnt");
    if (std::string fault = PrivateMounts(); !fault.empty())
        return fault;
    if (std::string fault = Mount("tmpfs", d.T("mnt"), "tmpfs", 0); !fault.empty())
        return kSkip + fault;
    d.Tree.File("mnt/data/dir/f", 5000);
    return "";
}

std::string OwnedByNobody(Disk& d, const char* name, mode_t mode)
{
    const int top = open(d.T("mnt").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string made = InChild(
        [&] { return mkdirat(top, name, mode) == 0 && fchmodat(top, name, mode, 0) == 0 ? "" : "mkdirat"; },
        10, true);
    close(top);
    return made;
}

const std::string kOwn = ".Trash-" + std::to_string(geteuid());

std::vector<Case> Cases()
{
    const auto shared = [](Disk& d) {
        d.Tree.File("sub/own.txt", 1000);
        d.Tree.File("sub/deeper/x", 10);
        d.Outside.File("secret.txt", 5000000);
        d.Outside.File("deeper/y", 7000000);
        return std::string();
    };
    std::vector<Case> cases = {
        {.What = "look-alike names",
         .Build =
             [](Disk& d) {
                 d.Tree.File("a\xff/big", 30000000);
                 d.Tree.File("a\xef\xbf\xbd/victim.txt", 100);
                 return std::string();
             },
         .Target = "a\xff"},
        {.What = "a folder replaced by a link after the scan",
         .Build = shared,
         .Target = "sub",
         .Change = [](Disk& d) { ToLink(d, "sub"); },
         .Restore = [](Disk& d) { FromLink(d, "sub"); },
         .Reachable = false,
         .Trash = TrashFailure::ItemChanged},
        {.What = "an ancestor replaced by a link after the scan",
         .Build = shared,
         .Target = "sub/deeper",
         .Change = [](Disk& d) { ToLink(d, "sub"); },
         .Restore = [](Disk& d) { FromLink(d, "sub"); },
         .Reachable = false,
         .Trash = TrashFailure::FolderChanged},
        {.What = "an ancestor replaced by a link at the last moment",
         .Build =
             [](Disk& d) {
                 d.Tree.File("p/q/item/f", 1000);
                 d.Outside.File("q/item/f2", 2000);
                 return std::string();
             },
         .Target = "p/q/item",
         .LastMoment = [](Disk& d) { ToLink(d, "p"); },
         .Restore = [](Disk& d) { FromLink(d, "p"); }},
        {.What = "the item itself swapped at the last moment",
         .Build =
             [](Disk& d) {
                 d.Tree.File("x/item/f", 1000);
                 return std::string();
             },
         .Target = "x/item",
         .LastMoment =
             [](Disk& d) {
                 Rename(d.T("x/item"), d.O("real"));
                 d.Tree.Dir("x/item");
             },
         .Restore =
             [](Disk& d) {
                 fs::remove(d.T("x/item"));
                 Rename(d.O("real"), d.T("x/item"));
             },
         .Trash = TrashFailure::ItemChanged},
        {.What = "two roots that share a prefix",
         .Build =
             [](Disk& d) {
                 d.Tree.File("u/z/foo/a", 100);
                 d.Tree.File("uXz/foo/b", 200);
                 return std::string();
             },
         .Target = "uXz/foo",
         .Roots = {"u", "uXz"}},
        {.What = "2,000 levels, beyond PATH_MAX",
         .Build =
             [](Disk& d) {
                 d.Tree.Dir("deep");
                 d.Tree.Chain("deep", 2000, "level.name", 3000);
                 return std::string();
             },
         .Target = "deep" +
             [] {
                 std::string levels;
                 for (int i = 0; i < 2000; ++i)
                     levels += "/level.name";
                 return levels;
             }()},
        {.What = "a mount's own trash",
         .Build = MountedDisk,
         .Target = "mnt/data/dir",
         .Roots = {"mnt/data"},
         .TrashFolder = "mnt/" + kOwn},
        {.What = "a mount's shared trash folder",
         .Build =
             [](Disk& d) {
                 std::string fault = MountedDisk(d);
                 return fault.empty() ? OwnedByNobody(d, ".Trash", 01777) : fault;
             },
         .Target = "mnt/data/dir",
         .Roots = {"mnt/data"},
         .TrashFolder = "mnt/.Trash/" + std::to_string(geteuid())},
        {.What = "a trash folder of another user",
         .Build =
             [](Disk& d) {
                 std::string fault = MountedDisk(d);
                 return fault.empty() ? OwnedByNobody(d, kOwn.c_str(), 0700) : fault;
             },
         .Target = "mnt/data/dir",
         .Roots = {"mnt/data"},
         .Trash = TrashFailure::TrashNotOurs,
         .TrashFolder = "mnt/" + kOwn},
        {.What = "a trash folder open to others",
         .Build =
             [](Disk& d) {
                 std::string fault = MountedDisk(d);
                 if (fault.empty()
                     && (mkdir(d.T("mnt/" + kOwn).c_str(), 0) != 0
                         || chmod(d.T("mnt/" + kOwn).c_str(), 0755) != 0))
                     fault = "mkdir";
                 return fault;
             },
         .Target = "mnt/data/dir",
         .Roots = {"mnt/data"},
         .Trash = TrashFailure::TrashOpen,
         .TrashFolder = "mnt/" + kOwn},
        {.What = "a trash folder that is a link",
         .Build =
             [](Disk& d) {
                 std::string fault = MountedDisk(d);
                 if (fault.empty())
                     fs::create_directory_symlink(d.O(""), d.T("mnt/" + kOwn));
                 return fault;
             },
         .Target = "mnt/data/dir",
         .Roots = {"mnt/data"},
         .Trash = TrashFailure::TrashIsLink,
         .TrashFolder = "mnt/" + kOwn},
    };
    return cases;
}

TEST(HostileActions, WalkListingRescanAndTrashOnAChangedDisk)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.What);
        // Each in a child: the mount cases need a namespace of their own.
        // The folders are made here, so that they go with the test.
        Disk d;
        const std::string result = InChild([&] { return RunCase(c, d); }, 300);
        if (result.rfind(kSkip, 0) == 0)
            std::printf("skipped \"%s\": %s\n", c.What, result.substr(kSkip.size()).c_str());
        else
            EXPECT_EQ(result, "");
    }
}

// The report lists the files at the bottom of a tree deeper than PATH_MAX.
TEST(HostileActions, ReportListsFilesBeyondPathMax)
{
    TTempTree t;
    t.Dir("deep");
    t.Chain("deep", 30, std::string(200, 'd'), 4321);
    const TBinaryRun run = RunBinary({"--report", "--files", t.Root()}, 60);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find(" MB  leaf\n"), std::string::npos);
}

}  // namespace
