#include <algorithm>
#include <cerrno>
#include <utility>

#include "savedscan/JsonCursor.h"
#include "savedscan/SavedScan.h"
#include "savedscan/ScanParser.h"

namespace {

// Runs are short (a folder's files between two subfolders): a small buffer.
constexpr size_t kRunBufferBytes = 4096;

void ToRemainder(LooseFileListing& listing, const LooseFile& file)
{
    // Capped as the reader caps a folder's total.
    ++listing.SmallerFiles;
    listing.SmallerBytes = listing.SmallerBytes > UINT64_MAX - file.Size ? UINT64_MAX
                                                                         : listing.SmallerBytes + file.Size;
    listing.SmallerDiskBytes = listing.SmallerDiskBytes > UINT64_MAX - file.DiskBytes
        ? UINT64_MAX
        : listing.SmallerDiskBytes + file.DiskBytes;
    if (file.SeveralLinks) {
        LooseFile& linked = listing.SmallerLinked.emplace_back(file);
        linked.Name.clear();
    }
}

// Keeps the `keep` best ranked files in a heap whose top is the worst kept.
void Offer(LooseFileListing& listing, size_t keep, LooseFile&& file)
{
    std::vector<LooseFile>& kept = listing.Files;
    if (kept.size() < keep) {
        kept.push_back(std::move(file));
        std::push_heap(kept.begin(), kept.end(), RanksAbove);
        return;
    }
    if (keep == 0 || !RanksAbove(file, kept.front())) {
        ToRemainder(listing, file);
        return;
    }
    std::pop_heap(kept.begin(), kept.end(), RanksAbove);
    ToRemainder(listing, kept.back());
    kept.back() = std::move(file);
    std::push_heap(kept.begin(), kept.end(), RanksAbove);
}

}  // namespace

LooseFileListing SavedFiles::List(const TTreeEntry& folder, size_t keep) const
{
    LooseFileListing listing;
    const auto it = std::lower_bound(
        folders_.begin(), folders_.end(), &folder,
        [](const FolderRuns& r, const TTreeEntry* f) { return std::less<const TTreeEntry*>()(r.Folder, f); });
    if (it == folders_.end() || it->Folder != &folder || !text_)
        return listing;
    try {
        for (uint32_t r = it->First; r != 0; r = runs_[r].Next) {
            TextFrom from(*text_, runs_[r].Offset);
            JsonCursor in(from, runs_[r].Offset, kRunBufferBytes);
            ParseItemRun(in, [&](const SavedItem& item, uint64_t at) {
                if (item.Excluded == ExcludedAs::Folder)
                    return;  // a folder not entered
                LooseFile f;
                f.Name = item.Name;
                f.Size = item.Size;
                f.DiskBytes = item.DiskBytes;
                if (item.SeveralLinks()) {
                    f.SeveralLinks = true;
                    f.Device = item.HasDevice ? item.Device : it->Device;
                    f.Inode = item.Inode;
                    const auto first = firstLink_.find(FileId{f.Device, f.Inode});
                    if (first == firstLink_.end() || first->second != at)
                        f.CountElsewhere();
                }
                Offer(listing, keep, std::move(f));
            });
        }
    } catch (const SavedScanFailure&) {
        // The text is not what was read (changed since): no partial listing.
        listing = LooseFileListing();
        listing.Error = EIO;
    }
    return listing;
}
