#include "sizetree/Scan.h"

#include <cstdint>
#include <deque>
#include <unordered_set>
#include <utility>

#include "sizetree/DeletionWatch.h"
#include "sizetree/ReadAheadScan.h"

namespace {

const std::string kProvisionalMark = " <--";
const std::string kMegabytes = " MB  ";
const std::string kFilesName = "[FILES]";

struct TFileId {
    uint64_t Device;
    uint64_t Inode;
    bool operator==(const TFileId&) const = default;
};

struct TFileIdHash {
    size_t operator()(const TFileId& id) const noexcept
    {
        return std::hash<uint64_t>()(id.Inode * 0x9E3779B97F4A7C15ULL ^ id.Device);
    }
};

uint32_t SaturatingSum(uint32_t a, uint32_t b)
{
    return a > UINT32_MAX - b ? UINT32_MAX : a + b;
}

// One folder under scan.
struct TFrame {
    TTreeEntry* Entry = nullptr;
    TFolderListing Listing;
    size_t NextSubfolder = 0;
    size_t NextLinked = 0;
    uint64_t LooseBytes = 0;  // files counted so far
    uint64_t LooseDiskBytes = 0;
    uint32_t LooseFiles = 0;
    bool Entered = false;     // the lister holds a level for it
};

class TScan {
public:
    TScan(TSizeTree& tree, const TScanHooks& hooks, TFolderLister& lister)
        : tree_(tree), hooks_(hooks), lister_(lister), guard_(tree)
    {
    }

    ~TScan()
    {
        for (const TFrame& f : frames_)
            if (f.Entered)
                lister_.Leave();
    }

    void Run(TTreeEntry* root)
    {
        if (!StartFolder(root, nullptr))
            return;
        while (!frames_.empty()) {
            TFrame& f = frames_.back();
            if (f.NextSubfolder < f.Listing.Subfolders.size()) {
                const size_t i = f.NextSubfolder++;
                CountLinkedFiles(f, i);
                const TSubfolder& sub = f.Listing.Subfolders[i];
                TTreeEntry* child = tree_.AddDerivedEntry(f.Entry, sub.Name + kProvisionalMark,
                                                          sub.Name, 0, TPathKind::pkFolder);
                if (hooks_.Progress)
                    ++hooks_.Progress->Folders;
                if (sub.OtherFileSystem) {
                    FinishCaption(child);
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
    // The start of a folder: messages, size 0, its listing.
    bool StartFolder(TTreeEntry* entry, const TSubfolder* sub)
    {
        guard_.SetWatched(entry);
        if (hooks_.Progress)
            hooks_.Progress->Current = entry;
        if (hooks_.ProcessPendingMessages)
            hooks_.ProcessPendingMessages();
        if (guard_.Lost() || (hooks_.StopRequested && hooks_.StopRequested()))
            return false;
        entry->SetSize(0);
        entry->Counts() = EntryCounts();
        TFrame& f = frames_.emplace_back();
        f.Entry = entry;
        f.Entered = sub ? lister_.Enter(*sub, f.Listing) : lister_.EnterRoot(entry->Path(), f.Listing);
        // A lister that waits processes messages meanwhile.
        if (guard_.Lost() || (hooks_.StopRequested && hooks_.StopRequested()))
            return false;
        entry->SetReadError(f.Listing.Error);
        if (f.Listing.Error)
            ReadFailed(*entry);
        return true;
    }

    void ReadFailed(const TTreeEntry& entry)
    {
        if (hooks_.Progress)
            ++hooks_.Progress->Unreadable;
        if (hooks_.ReadFailed)
            hooks_.ReadFailed(entry);
    }

    // Files with several links listed before subfolder `limit` count now, if
    // this scan has not met them yet.
    void CountLinkedFiles(TFrame& f, size_t limit)
    {
        const std::vector<TLinkedFile>& linked = f.Listing.LinkedFiles;
        while (f.NextLinked < linked.size() && linked[f.NextLinked].Position <= limit) {
            const TLinkedFile& file = linked[f.NextLinked++];
            if (seen_.insert(TFileId{file.Device, file.Inode}).second) {
                f.LooseBytes += file.Size;
                f.LooseDiskBytes += file.DiskBytes;
                ++f.LooseFiles;
            }
        }
    }

    // The end of a folder: loose files, FILES entry, order; then its caption
    // and its share of the parent.
    void FinishFolder(TFrame& f)
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
            TTreeEntry* files = tree_.AddDerivedEntry(entry, kFilesName, std::string(), loose,
                                                      TPathKind::pkFiles);
            files->Counts().DiskBytes = f.LooseDiskBytes;
            files->Counts().Files = f.LooseFiles;
            tree_.SetCaption(files, SizeCaptionText(loose) + kMegabytes + kFilesName);
            tree_.SetImageIndex(files, 2);
        }
        tree_.SortChildren(entry);
        if (f.Entered)
            lister_.Leave();
        frames_.pop_back();
        if (!frames_.empty())
            FinishCaption(entry);
    }

    // The subfolder's scan is done: final caption, size added to the parent.
    void FinishCaption(TTreeEntry* child)
    {
        tree_.SetCaption(child, SizeCaptionText(child->Size()) + kMegabytes + child->Name());
        TTreeEntry* parent = child->Parent();
        parent->SetSize(parent->Size() + child->Size());
        const EntryCounts& c = child->Counts();
        EntryCounts& p = parent->Counts();
        p.DiskBytes += c.DiskBytes;
        p.Files = SaturatingSum(p.Files, c.Files);
        p.Folders = SaturatingSum(p.Folders, SaturatingSum(c.Folders, 1));
        p.UnreadableBelow = SaturatingSum(p.UnreadableBelow,
                                          SaturatingSum(c.UnreadableBelow, child->ReadError() ? 1 : 0));
    }

    TSizeTree& tree_;
    const TScanHooks& hooks_;
    TFolderLister& lister_;
    // Stops the scan when the folder under scan or an ancestor is deleted
    // from inside ProcessPendingMessages.
    TDeletionWatch guard_;
    std::deque<TFrame> frames_;
    std::unordered_set<TFileId, TFileIdHash> seen_;
};

}  // namespace

void ScanFolderWith(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks,
                    TFolderLister& lister)
{
    if (!entry)
        return;
    TScan scan(tree, hooks, lister);
    scan.Run(entry);
}

void ScanFolder(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks)
{
    ScanFolderReadAhead(tree, entry, hooks);
}
