#include "sizetree/TreeTotals.h"

#include <algorithm>
#include <limits>

#include "sizetree/Scan.h"

namespace {

template <typename T> void AddClamped(T& value, int64_t delta)
{
    const int64_t top = static_cast<int64_t>(
        std::min<uint64_t>(std::numeric_limits<T>::max(), std::numeric_limits<int64_t>::max()));
    value = static_cast<T>(std::clamp<int64_t>(static_cast<int64_t>(value) + delta, 0, top));
}

}  // namespace

bool IsFolderEntry(const TTreeEntry& e)
{
    return !e.IsFiles() && !e.IsListedFile() && !e.IsSmallerFiles();
}

Contribution::Contribution(const TTreeEntry& e)
    : Size(e.Size()),
      DiskBytes(static_cast<int64_t>(e.Counts().DiskBytes)),
      Files(e.Counts().Files),
      Folders(int64_t{e.Counts().Folders} + (IsFolderEntry(e) ? 1 : 0)),
      Unreadable(int64_t{e.Counts().UnreadableBelow} + (e.ReadError() ? 1 : 0))
{
}

Contribution Contribution::Negated() const
{
    Contribution n = *this;
    n.Size = -Size;
    n.DiskBytes = -DiskBytes;
    n.Files = -Files;
    n.Folders = -Folders;
    n.Unreadable = -Unreadable;
    return n;
}

Contribution& Contribution::operator-=(const Contribution& o)
{
    Size -= o.Size;
    DiskBytes -= o.DiskBytes;
    Files -= o.Files;
    Folders -= o.Folders;
    Unreadable -= o.Unreadable;
    return *this;
}

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

void Recaption(TSizeTree& tree, TTreeEntry* entry)
{
    for (TTreeEntry* a = entry; a && a->Parent(); a = a->Parent()) {
        tree.SetCaption(a, FinalCaption(tree, *a));
        tree.SortChildren(a->Parent());
    }
}
