// The loose files of one scanned folder, listed when someone asks for them.
//
// The scan keeps no file names: a folder's loose files are one FILES entry.
// Listing them is a second, later step, for one folder at a time.
//
// Protocol:
//   1. On the UI thread, LinksCountedElsewhere(ledger, folder) takes, from the
//      root's LinkLedger, the files with several links that the walk met in
//      `folder` but counted at another place.
//   2. ListLooseFilesAt(PlanWalk(folder), elsewhere) reaches the folder by
//      the checked walk of sizetree/EntryWalk.h (the plan made on the UI
//      thread) and lists it as it is now; ListLooseFiles lists a folder the
//      caller has opened. They touch no tree and may run on any thread (a
//      large folder is listed off the UI thread); they keep at most `keep`
//      files, the largest (equal sizes by name), and sum the rest. A folder
//      of many names is looked at by worker threads of its own, joined
//      before they return.
//   3. On the UI thread, PutLooseFiles(tree, filesEntry, listing, ledger,
//      hooks) puts one child per listed file under the FILES entry (and one
//      "[N smaller files]" entry for the rest), captioned like folders, in the
//      order in force. When the listing's total differs from the FILES
//      entry's size (the folder changed since the scan), the FILES entry, its
//      folder and every ancestor take the new total, with captions and order
//      refreshed. If the FILES entry or its folder is gone meanwhile, the
//      caller drops the listing instead.
// A listed file that the walk counted elsewhere shows size 0, so sums stay
// true; of several links to one file in the folder, the first listed counts.
// A listing with an Error puts no children and changes no size: a partial
// listing would make false totals (the caller shows the error). When the
// new total is 0 the FILES entry goes, as a fresh scan would have none
// (hooks.SubtreeAboutToGo first); the folder keeps counting its empty files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "sizetree/EntryWalk.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/Rescan.h"
#include "sizetree/SizeTree.h"

inline constexpr size_t kListedFilesKept = 10000;

struct LooseFile {
    std::string Name;        // bytes as listed
    uint64_t Size = 0;       // bytes; 0 when counted elsewhere
    uint64_t DiskBytes = 0;  // blocks x 512; 0 when counted elsewhere
    uint64_t Device = 0;
    uint64_t Inode = 0;
    bool CountedElsewhere = false;  // another link was counted first
    bool SeveralLinks = false;      // more than one link: the ledger tracks it

    // Another link counts the file: it shows size 0 here.
    void CountElsewhere()
    {
        CountedElsewhere = true;
        Size = 0;
        DiskBytes = 0;
    }
};

// The order in which files are kept and added: larger first, equal sizes by
// name, so neither depends on the listing order.
inline bool Outranks(uint64_t sizeA, std::string_view nameA, uint64_t sizeB, std::string_view nameB)
{
    return sizeA != sizeB ? sizeA > sizeB : nameA < nameB;
}
inline bool RanksAbove(const LooseFile& a, const LooseFile& b)
{
    return Outranks(a.Size, a.Name, b.Size, b.Name);
}

struct LooseFileListing {
    std::vector<LooseFile> Files;  // the `keep` largest, in no given order
    uint64_t SmallerFiles = 0;     // files not kept: how many
    uint64_t SmallerBytes = 0;     // and their bytes
    uint64_t SmallerDiskBytes = 0;
    // The files with several links among those not kept (names dropped), so
    // the ledger stays whole.
    std::vector<LooseFile> SmallerLinked;
    uint8_t Error = 0;  // the folder could not be (fully) listed: a read error code
    // The walk to the folder refused (Error then kReadChanged, or the code
    // of the errno that stopped it).
    std::optional<WalkRefusal> Refusal;
};

// The name of the entry that stands for the files not kept: "[N smaller files]".
std::string SmallerFilesName(uint64_t count);

using FileIdSet = std::unordered_set<FileId, FileIdHash>;

// The files with several links met in `folder` (a folder entry) but counted
// at another place.
FileIdSet LinksCountedElsewhere(const LinkLedger& ledger, const TTreeEntry* folder);

// Lists the files (anything but folders) directly in the open folder
// folderFd, reading its names from where the descriptor stands (a freshly
// opened one: from the start); the caller closes it.
LooseFileListing ListLooseFiles(int folderFd, const FileIdSet& elsewhere, size_t keep = kListedFilesKept);
// The same for the folder at the end of plan, reached by the checked walk.
LooseFileListing ListLooseFilesAt(const WalkPlan& plan, const FileIdSet& elsewhere,
                                  size_t keep = kListedFilesKept);

// Adds one child per listed file, and the "[N smaller files]" entry, under
// filesEntry (which has no children yet), in the order in force; changes no
// total and no ledger. PutLooseFiles builds on it; the report uses it alone,
// since the totals it printed already must stay.
void AddListedFiles(TSizeTree& tree, TTreeEntry* filesEntry, LooseFileListing& listing);

// Replaces filesEntry's children by the listing's files (see above).
void PutLooseFiles(TSizeTree& tree, TTreeEntry* filesEntry, LooseFileListing listing, LinkLedger& ledger,
                   const TreeChangeHooks& hooks);
