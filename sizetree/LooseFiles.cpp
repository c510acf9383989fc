#include "sizetree/LooseFiles.h"

#include <algorithm>
#include <utility>

#include "sizetree/Scan.h"
#include "sizetree/TreeTotals.h"

namespace {

constexpr int kFilesImage = 2;

// The files not kept that count here: all but other links' names.
uint64_t SmallerCounted(const LooseFileListing& listing)
{
    const auto elsewhere = std::count_if(listing.SmallerLinked.begin(), listing.SmallerLinked.end(),
                                         [](const LooseFile& f) { return f.CountedElsewhere; });
    return listing.SmallerFiles - static_cast<uint64_t>(elsewhere);
}

// The folder's links as the listing found them replace those the walk met
// there. A file with several links counts where the ledger counts it; one
// it does not know yet counts here. A file counted here whose link went is
// left with no place that counts it, so the next rescan settles it through
// the whole root.
void SettleLinks(LooseFileListing& listing, const TTreeEntry* folder, LinkLedger& ledger)
{
    for (auto& [id, r] : ledger)
        r.Places.erase(std::remove(r.Places.begin(), r.Places.end(), folder), r.Places.end());
    const auto settle = [&](LooseFile& f, bool kept) {
        if (!f.SeveralLinks)
            return;
        LinkedFileRecord& r = ledger[FileId{f.Device, f.Inode}];
        r.Places.push_back(folder);
        if (f.CountedElsewhere)
            return;
        if (!r.Counted || r.Counted == folder) {
            r.Counted = folder;
            r.Size = f.Size;
            r.DiskBytes = f.DiskBytes;
            return;
        }
        if (!kept) {
            listing.SmallerBytes -= f.Size;
            listing.SmallerDiskBytes -= f.DiskBytes;
        }
        f.CountElsewhere();
    };
    for (LooseFile& f : listing.Files)
        settle(f, true);
    for (LooseFile& f : listing.SmallerLinked)
        settle(f, false);
    for (auto it = ledger.begin(); it != ledger.end();) {
        LinkedFileRecord& r = it->second;
        if (r.Counted == folder && std::find(r.Places.begin(), r.Places.end(), folder) == r.Places.end())
            r.Counted = nullptr;
        it = r.Places.empty() ? ledger.erase(it) : std::next(it);
    }
}

}  // namespace

std::string SmallerFilesName(uint64_t count)
{
    return "[" + std::to_string(count) + " smaller files]";
}

FileIdSet LinksCountedElsewhere(const LinkLedger& ledger, const TTreeEntry* folder)
{
    FileIdSet ids;
    for (const auto& [id, r] : ledger)
        if (r.Counted && r.Counted != folder
            && std::find(r.Places.begin(), r.Places.end(), folder) != r.Places.end())
            ids.insert(id);
    return ids;
}

void PutLooseFiles(TSizeTree& tree, TTreeEntry* filesEntry, LooseFileListing listing, LinkLedger& ledger,
                   const TreeChangeHooks& hooks)
{
    if (!filesEntry || !filesEntry->IsFiles() || !filesEntry->Parent())
        return;
    TTreeEntry* folder = filesEntry->Parent();
    if (filesEntry->ChildCount() > 0) {
        if (hooks.ChildrenAboutToGo)
            hooks.ChildrenAboutToGo(filesEntry);
        while (filesEntry->ChildCount() > 0)
            tree.DeleteEntry(filesEntry->ChildAt(filesEntry->ChildCount() - 1));
    }
    if (listing.Error)
        return;
    SettleLinks(listing, folder, ledger);

    // The new totals, as the scan would count them now.
    Contribution now;
    for (const LooseFile& f : listing.Files) {
        now.Size += static_cast<double>(f.Size);
        now.DiskBytes += static_cast<int64_t>(f.DiskBytes);
        now.Files += f.CountedElsewhere ? 0 : 1;
    }
    now.Size += static_cast<double>(listing.SmallerBytes);
    now.DiskBytes += static_cast<int64_t>(listing.SmallerDiskBytes);
    now.Files += static_cast<int64_t>(SmallerCounted(listing));
    Contribution delta = now;
    delta -= Contribution(*filesEntry);
    delta.Folders = 0;
    delta.Unreadable = 0;
    ApplyToAncestors(filesEntry, delta);
    if (now.Size == 0) {
        // As a fresh scan: no FILES entry; the folder still counts its
        // empty files.
        if (hooks.SubtreeAboutToGo)
            hooks.SubtreeAboutToGo(filesEntry);
        tree.DeleteEntry(filesEntry);
        Recaption(tree, folder);
        return;
    }

    AddListedFiles(tree, filesEntry, listing);
    if (delta.Size != 0 || delta.DiskBytes != 0)
        Recaption(tree, filesEntry);
}

void AddListedFiles(TSizeTree& tree, TTreeEntry* filesEntry, LooseFileListing& listing)
{
    // Added largest first, ties by name: equal sizes keep a fixed order.
    std::sort(listing.Files.begin(), listing.Files.end(), RanksAbove);
    for (LooseFile& f : listing.Files) {
        std::string caption = FolderCaptionText(
            SizeOfKind(tree.Shown(), static_cast<double>(f.Size), f.DiskBytes), f.Name);
        TTreeEntry* e = tree.AddDerivedEntry(filesEntry, std::move(caption), std::move(f.Name),
                                             static_cast<double>(f.Size), TPathKind::pkFile, kFilesImage);
        e->Counts().DiskBytes = f.DiskBytes;
        e->Counts().Files = f.CountedElsewhere ? 0 : 1;
        e->SetIdentity(f.Device, f.Inode);
        e->SetCountedElsewhere(f.CountedElsewhere);
    }
    if (listing.SmallerFiles > 0) {
        const double bytes = static_cast<double>(listing.SmallerBytes);
        const std::string name = SmallerFilesName(listing.SmallerFiles);
        const double shown = SizeOfKind(tree.Shown(), bytes, listing.SmallerDiskBytes);
        TTreeEntry* e = tree.AddDerivedEntry(filesEntry, FolderCaptionText(shown, name), name, bytes,
                                             TPathKind::pkSmallerFiles, kFilesImage);
        e->Counts().DiskBytes = listing.SmallerDiskBytes;
        e->Counts().Files = static_cast<uint32_t>(std::min<uint64_t>(SmallerCounted(listing), UINT32_MAX));
    }
    tree.SortChildren(filesEntry);
}
