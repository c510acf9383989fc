#include "sizetree/Rescan.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "sizetree/DeletionWatch.h"
#include "sizetree/TreeTotals.h"

namespace {

bool Within(const TTreeEntry* e, const TTreeEntry* top)
{
    for (; e; e = e->Parent())
        if (e == top)
            return true;
    return false;
}

using PlaceCounts = std::unordered_map<FileId, size_t, FileIdHash>;

// A listed file goes: one link fewer in its folder. True when it was the
// link that counted the file and others remain (a walk of the root finds
// where it counts now).
bool ForgetListedLink(const TTreeEntry& file, LinkLedger& ledger)
{
    const auto it = ledger.find(FileId{file.Device(), file.Inode()});
    const TTreeEntry* folder = file.Parent() ? file.Parent()->Parent() : nullptr;
    if (it == ledger.end() || !folder)
        return false;
    LinkedFileRecord& r = it->second;
    const auto place = std::find(r.Places.begin(), r.Places.end(), folder);
    if (place == r.Places.end())
        return false;
    r.Places.erase(place);
    bool recount = false;
    if (!file.IsCountedElsewhere() && r.Counted == folder) {
        r.Counted = nullptr;
        recount = !r.Places.empty();
    }
    if (r.Places.empty())
        ledger.erase(it);
    return recount;
}

}  // namespace

RescanResult RescanEntry(TSizeTree& tree, TTreeEntry* entry, LinkLedger& ledger, const TreeChangeHooks& hooks)
{
    RescanResult result;
    if (!entry || !IsFolderEntry(*entry))
        return result;
    FolderFd folder;
    if (entry->Parent()) {
        WalkResult walk = OpenWalk(PlanWalk(*entry));
        if (walk.Refusal) {
            result.Refusal = walk.Refusal;
            return result;
        }
        folder = std::move(walk.Folder);
    }
    // The links the walk met inside, per file; they are met again below.
    PlaceCounts before;
    for (auto& [id, r] : ledger) {
        const auto inside = [entry](const TTreeEntry* p) { return Within(p, entry); };
        const size_t n = static_cast<size_t>(std::count_if(r.Places.begin(), r.Places.end(), inside));
        if (n == 0)
            continue;
        before[id] = n;
        r.Places.erase(std::remove_if(r.Places.begin(), r.Places.end(), inside), r.Places.end());
        if (r.Counted && Within(r.Counted, entry))
            r.Counted = nullptr;
    }
    const Contribution old(*entry);
    if (hooks.ChildrenAboutToGo)
        hooks.ChildrenAboutToGo(entry);
    while (entry->ChildCount() > 0)
        tree.DeleteEntry(entry->ChildAt(entry->ChildCount() - 1));

    DeletionWatch watch(tree, entry);
    if (folder)
        ScanOpenedFolder(tree, entry, folder.Release(), hooks.Scan, ledger);
    else
        ScanFolder(tree, entry, hooks.Scan, ledger);
    if (watch.Lost()) {
        ledger.clear();
        return result;
    }

    bool linksChanged = false;
    PlaceCounts after;
    for (auto it = ledger.begin(); it != ledger.end();) {
        LinkedFileRecord& r = it->second;
        const size_t n = static_cast<size_t>(std::count_if(
            r.Places.begin(), r.Places.end(), [entry](const TTreeEntry* p) { return Within(p, entry); }));
        if (n > 0)
            after[it->first] = n;
        // Counted inside before, met only outside now: its place is elsewhere.
        linksChanged = linksChanged || !r.Counted;
        it = r.Places.empty() ? ledger.erase(it) : std::next(it);
    }
    linksChanged = linksChanged || after != before;

    Contribution delta(*entry);
    delta -= old;
    if (entry->Parent())
        ApplyToAncestors(entry->Parent(), delta);
    Recaption(tree, entry);
    if (linksChanged && entry->Parent())
        return RescanEntry(tree, entry->Root(), ledger, hooks);
    result.Rescanned = true;
    return result;
}

void RemoveScannedEntry(TSizeTree& tree, TTreeEntry* entry, LinkLedger& ledger, const TreeChangeHooks& hooks)
{
    if (!entry || !entry->Parent() || entry->IsSmallerFiles())
        return;
    bool recount = false;
    if (entry->IsListedFile())
        recount = ForgetListedLink(*entry, ledger);
    for (auto it = ledger.begin(); it != ledger.end();) {
        LinkedFileRecord& r = it->second;
        const auto inside = [entry](const TTreeEntry* p) { return Within(p, entry); };
        r.Places.erase(std::remove_if(r.Places.begin(), r.Places.end(), inside), r.Places.end());
        if (r.Counted && inside(r.Counted)) {
            r.Counted = nullptr;
            recount = recount || !r.Places.empty();
        }
        it = r.Places.empty() ? ledger.erase(it) : std::next(it);
    }
    TTreeEntry* parent = entry->Parent();
    TTreeEntry* root = entry->Root();
    const Contribution delta = Contribution(*entry).Negated();
    if (hooks.SubtreeAboutToGo)
        hooks.SubtreeAboutToGo(entry);
    tree.DeleteEntry(entry);
    ApplyToAncestors(parent, delta);
    if (parent->IsFiles() && parent->Size() == 0) {
        TTreeEntry* folder = parent->Parent();
        if (hooks.SubtreeAboutToGo)
            hooks.SubtreeAboutToGo(parent);
        tree.DeleteEntry(parent);
        parent = folder;
    }
    Recaption(tree, parent);
    // A file counted inside and linked elsewhere counts at its next place,
    // which only a walk of the root finds.
    if (recount)
        RescanEntry(tree, root, ledger, hooks);
}
