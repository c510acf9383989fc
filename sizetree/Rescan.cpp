#include "sizetree/Rescan.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "sizetree/DeletionWatch.h"

namespace {

bool Within(const TTreeEntry* e, const TTreeEntry* top)
{
    for (; e; e = e->Parent())
        if (e == top)
            return true;
    return false;
}

// What an entry adds to each of its ancestors.
struct Contribution {
    double Size = 0;
    int64_t DiskBytes = 0;
    int64_t Files = 0;
    int64_t Folders = 0;
    int64_t Unreadable = 0;

    explicit Contribution(const TTreeEntry& e)
        : Size(e.Size()),
          DiskBytes(static_cast<int64_t>(e.Counts().DiskBytes)),
          Files(e.Counts().Files),
          Folders(int64_t{e.Counts().Folders} + (e.IsFiles() ? 0 : 1)),
          Unreadable(int64_t{e.Counts().UnreadableBelow} + (e.ReadError() ? 1 : 0))
    {
    }

    Contribution Negated() const
    {
        Contribution n = *this;
        n.Size = -Size;
        n.DiskBytes = -DiskBytes;
        n.Files = -Files;
        n.Folders = -Folders;
        n.Unreadable = -Unreadable;
        return n;
    }

    Contribution& operator-=(const Contribution& o)
    {
        Size -= o.Size;
        DiskBytes -= o.DiskBytes;
        Files -= o.Files;
        Folders -= o.Folders;
        Unreadable -= o.Unreadable;
        return *this;
    }
};

template <typename T>
void AddClamped(T& value, int64_t delta)
{
    const int64_t top = static_cast<int64_t>(std::min<uint64_t>(std::numeric_limits<T>::max(),
                                                                std::numeric_limits<int64_t>::max()));
    value = static_cast<T>(std::clamp<int64_t>(static_cast<int64_t>(value) + delta, 0, top));
}

// Adds delta to entry and every ancestor.
void ApplyToAncestors(TTreeEntry* entry, const Contribution& delta)
{
    for (TTreeEntry* a = entry; a; a = a->Parent()) {
        a->SetSize(a->Size() + delta.Size);
        EntryCounts& c = a->Counts();
        AddClamped(c.DiskBytes, delta.DiskBytes);
        AddClamped(c.Files, delta.Files);
        AddClamped(c.Folders, delta.Folders);
        AddClamped(c.UnreadableBelow, delta.Unreadable);
    }
}

// Re-captions entry and its ancestors below the root and re-sorts each among
// its siblings.
void Recaption(TSizeTree& tree, TTreeEntry* entry)
{
    for (TTreeEntry* a = entry; a && a->Parent(); a = a->Parent()) {
        tree.SetCaption(a, FolderCaptionText(a->Size(), a->Name()));
        tree.SortChildren(a->Parent());
    }
}

TTreeEntry* RootOf(TTreeEntry* e)
{
    while (e->Parent())
        e = e->Parent();
    return e;
}

using PlaceCounts = std::unordered_map<FileId, size_t, FileIdHash>;

}  // namespace

bool RescanEntry(TSizeTree& tree, TTreeEntry* entry, LinkLedger& ledger, const TreeChangeHooks& hooks)
{
    if (!entry || entry->IsFiles())
        return false;
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

    TDeletionWatch watch(tree, entry);
    ScanFolder(tree, entry, hooks.Scan, ledger);
    if (watch.Lost()) {
        ledger.clear();
        return false;
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
        return RescanEntry(tree, RootOf(entry), ledger, hooks);
    return true;
}

void RemoveScannedEntry(TSizeTree& tree, TTreeEntry* entry, LinkLedger& ledger,
                        const TreeChangeHooks& hooks)
{
    if (!entry || !entry->Parent())
        return;
    bool recount = false;
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
    TTreeEntry* root = RootOf(entry);
    const Contribution delta = Contribution(*entry).Negated();
    if (hooks.SubtreeAboutToGo)
        hooks.SubtreeAboutToGo(entry);
    tree.DeleteEntry(entry);
    ApplyToAncestors(parent, delta);
    Recaption(tree, parent);
    // A file counted inside and linked elsewhere counts at its next place,
    // which only a walk of the root finds.
    if (recount)
        RescanEntry(tree, root, ledger, hooks);
}
