#include "sizetree/Scan.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <utility>

#include <sys/stat.h>

#include "sizetree/DeletionWatch.h"
#include "sizetree/ReadAheadLister.h"

namespace {

using Clock = std::chrono::steady_clock;

// A wait's tick when events are due at every folder.
constexpr std::chrono::milliseconds kShortestWait{1};

// One folder under scan.
struct ScanFrame {
    TTreeEntry* Entry = nullptr;
    TFolderListing Listing;
    size_t NextSubfolder = 0;
    size_t NextLinked = 0;
    uint64_t LooseBytes = 0;  // files counted so far
    uint64_t LooseDiskBytes = 0;
    uint32_t LooseFiles = 0;
    bool Entered = false;  // the lister holds a level for it
};

class DepthFirstScan {
public:
    DepthFirstScan(TSizeTree& tree, const TScanHooks& hooks, TFolderLister& lister, LinkLedger& ledger,
                   bool rootOpened)
        : tree_(tree), hooks_(hooks), lister_(lister), guard_(tree), ledger_(ledger), rootOpened_(rootOpened)
    {
    }

    ~DepthFirstScan()
    {
        for (const ScanFrame& f : frames_)
            if (f.Entered)
                lister_.Leave();
    }

    void Run(TTreeEntry* root)
    {
        if (!StartFolder(root, nullptr))
            return;
        while (!frames_.empty()) {
            ScanFrame& f = frames_.back();
            if (f.NextSubfolder < f.Listing.Subfolders.size()) {
                const size_t i = f.NextSubfolder++;
                CountLinkedFiles(f, i);
                const TSubfolder& sub = f.Listing.Subfolders[i];
                TTreeEntry* child = tree_.AddDerivedEntry(f.Entry, sub.Name + std::string(kProvisionalMark),
                                                          sub.Name, 0, TPathKind::pkFolder);
                child->SetIdentity(sub.Device, sub.Inode);
                if (hooks_.Progress)
                    ++hooks_.Progress->Folders;
                if (sub.OtherFileSystem) {
                    FinishSubfolder(tree_, child);
                    continue;
                }
                // frames_ is a deque: f and sub stay valid while it grows.
                if (!StartFolder(child, &sub))
                    return;
            } else {
                FinishFolder(f);
            }
        }
    }

private:
    // The start of a folder: the one loop of events, deletion and stop
    // checks and bounded waits for its listing; then size 0 and the listing.
    bool StartFolder(TTreeEntry* entry, const TSubfolder* sub)
    {
        guard_.SetWatched(entry);
        if (hooks_.Progress)
            hooks_.Progress->Current = entry;
        for (;;) {
            Clock::time_point now = Clock::now();
            if (now >= nextEvents_) {
                if (hooks_.ProcessPendingMessages) {
                    hooks_.ProcessPendingMessages();
                    now = Clock::now();
                }
                nextEvents_ = now + hooks_.EventInterval;
            }
            if (guard_.Lost() || (hooks_.StopRequested && hooks_.StopRequested()))
                return false;
            const Clock::duration limit = std::max<Clock::duration>(nextEvents_ - now, kShortestWait);
            if (sub ? lister_.Ready(*sub, limit) : lister_.RootReady(entry->Path(), limit))
                break;
        }
        entry->SetSize(0);
        entry->Counts() = EntryCounts();
        struct stat st;
        if (!sub && !rootOpened_) {  // the folder the path names, as the lister opens it
            entry->SetIdentity(0, 0);
            if (stat(entry->Path().c_str(), &st) == 0)
                entry->SetIdentity(st.st_dev, st.st_ino);
        }
        ScanFrame& f = frames_.emplace_back();
        f.Entry = entry;
        f.Entered = sub ? lister_.Enter(*sub, f.Listing) : lister_.EnterRoot(entry->Path(), f.Listing);
        entry->SetReadError(f.Listing.Error);
        if (f.Listing.Error)
            TellReadFailed(*entry);
        return true;
    }

    void TellReadFailed(const TTreeEntry& entry)
    {
        if (hooks_.Progress)
            ++hooks_.Progress->Unreadable;
        if (hooks_.ReadFailed)
            hooks_.ReadFailed(entry);
    }

    // Files with several links listed before subfolder `limit` count now, if
    // this scan has not met them yet.
    void CountLinkedFiles(ScanFrame& f, size_t limit)
    {
        const std::vector<TLinkedFile>& linked = f.Listing.LinkedFiles;
        while (f.NextLinked < linked.size() && linked[f.NextLinked].Position <= limit) {
            const TLinkedFile& file = linked[f.NextLinked++];
            LinkedFileRecord& r = ledger_[FileId{file.Device, file.Inode}];
            r.Places.push_back(f.Entry);
            if (!r.Counted) {
                r.Counted = f.Entry;
                r.Size = file.Size;
                r.DiskBytes = file.DiskBytes;
                f.LooseBytes += file.Size;
                f.LooseDiskBytes += file.DiskBytes;
                ++f.LooseFiles;
            }
        }
    }

    // The end of a folder: loose files, FILES entry, order; then its caption
    // and its share of the parent.
    void FinishFolder(ScanFrame& f)
    {
        CountLinkedFiles(f, SIZE_MAX);
        f.LooseBytes += f.Listing.SingleLinkTotal;
        f.LooseDiskBytes += f.Listing.SingleLinkDiskBytes;
        f.LooseFiles = SaturatingSum(f.LooseFiles, f.Listing.SingleLinkFiles);
        TTreeEntry* entry = f.Entry;
        const double loose = static_cast<double>(f.LooseBytes);
        entry->SetSize(entry->Size() + loose);
        EntryCounts& counts = entry->Counts();
        counts.DiskBytes += f.LooseDiskBytes;
        counts.Files = SaturatingSum(counts.Files, f.LooseFiles);
        if (ScanProgress* p = hooks_.Progress) {
            p->Bytes += f.LooseBytes;
            p->DiskBytes += f.LooseDiskBytes;
            p->Files += f.LooseFiles;
        }
        if (f.LooseBytes > 0) {
            TTreeEntry* files = tree_.AddDerivedEntry(entry, std::string(kFilesName), std::string(), loose,
                                                      TPathKind::pkFiles);
            files->Counts().DiskBytes = f.LooseDiskBytes;
            files->Counts().Files = f.LooseFiles;
            tree_.SetCaption(files, FinalCaption(tree_, *files));
            tree_.SetImageIndex(files, 2);
        }
        tree_.SortChildren(entry);
        if (f.Entered)
            lister_.Leave();
        frames_.pop_back();
        if (!frames_.empty())
            FinishSubfolder(tree_, entry);
    }

    TSizeTree& tree_;
    const TScanHooks& hooks_;
    TFolderLister& lister_;
    // Stops the scan when the folder under scan or an ancestor is deleted
    // from inside ProcessPendingMessages.
    DeletionWatch guard_;
    Clock::time_point nextEvents_ = Clock::time_point::min();  // events due from then
    std::deque<ScanFrame> frames_;
    LinkLedger& ledger_;
    const bool rootOpened_;  // the lister lists a root the caller opened: its identity stays
};

}  // namespace

uint32_t SaturatingSum(uint32_t a, uint32_t b)
{
    return a > UINT32_MAX - b ? UINT32_MAX : a + b;
}

uint64_t SaturatingSum64(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

void FinishSubfolder(TSizeTree& tree, TTreeEntry* child)
{
    tree.SetCaption(child, FinalCaption(tree, *child));
    TTreeEntry* parent = child->Parent();
    parent->SetSize(parent->Size() + child->Size());
    const EntryCounts& c = child->Counts();
    EntryCounts& p = parent->Counts();
    p.DiskBytes = SaturatingSum64(p.DiskBytes, c.DiskBytes);
    p.Files = SaturatingSum(p.Files, c.Files);
    p.Folders = SaturatingSum(p.Folders, SaturatingSum(c.Folders, 1));
    p.UnreadableBelow = SaturatingSum(p.UnreadableBelow,
                                      SaturatingSum(c.UnreadableBelow, child->ReadError() ? 1 : 0));
}

void ScanFolderWith(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks, TFolderLister& lister,
                    LinkLedger& ledger)
{
    if (!entry)
        return;
    DepthFirstScan scan(tree, hooks, lister, ledger, false);
    scan.Run(entry);
}

void ScanFolderWith(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks, TFolderLister& lister)
{
    LinkLedger ledger;
    ScanFolderWith(tree, entry, hooks, lister, ledger);
}

void ScanFolder(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks, LinkLedger& ledger)
{
    if (!entry)
        return;
    ReadAheadLister lister;
    ScanFolderWith(tree, entry, hooks, lister, ledger);
}

void ScanOpenedFolder(TSizeTree& tree, TTreeEntry* entry, int folderFd, const TScanHooks& hooks,
                      LinkLedger& ledger)
{
    ReadAheadLister lister;
    lister.SetOpenedRoot(folderFd);
    if (!entry)
        return;
    DepthFirstScan scan(tree, hooks, lister, ledger, true);
    scan.Run(entry);
}

void ScanFolder(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks)
{
    LinkLedger ledger;
    ScanFolder(tree, entry, hooks, ledger);
}
