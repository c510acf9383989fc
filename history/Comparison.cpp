#include "history/Comparison.h"

#include <algorithm>

SizeChange ChangeBetween(uint64_t then, uint64_t now)
{
    return now >= then ? SizeChange{false, now - then} : SizeChange{true, then - now};
}

namespace {

uint64_t In(const FolderTotals& totals, SizeMeasure measure)
{
    return measure == SizeMeasure::Disk ? totals.Disk : totals.Apparent;
}

// A change found by the walk, its path not yet written.
struct Found {
    uint64_t Bytes;
    ChangeKind Kind;
    uint32_t Then;  // index in the old snapshot (changed, removed)
    uint32_t Now;   // index in the new one (changed, new)
};

}  // namespace

SizeChange FolderChange::Change(SizeMeasure measure) const
{
    switch (Kind) {
    case ChangeKind::New:
        return {false, In(Now, measure)};
    case ChangeKind::Removed:
        return {true, In(Then, measure)};
    case ChangeKind::Changed:
        break;
    }
    return ChangeBetween(In(Then, measure), In(Now, measure));
}

std::vector<FolderChange> CompareSnapshots(const FolderSnapshot& then, const FolderSnapshot& now,
                                           const CompareOptions& options)
{
    std::vector<FolderChange> changes;
    if (then.Count() == 0 || now.Count() == 0 || options.Most == 0)
        return changes;
    const SizeMeasure measure = options.Measure;
    std::vector<Found> found;
    const auto matched = [&](size_t a, size_t b) {
        const uint64_t x = In(then.At(a).Totals, measure);
        const uint64_t y = In(now.At(b).Totals, measure);
        if (x != y)
            found.push_back({ChangeBetween(x, y).Bytes, ChangeKind::Changed, static_cast<uint32_t>(a),
                             static_cast<uint32_t>(b)});
    };
    // Both sides' subfolders stand in name order: merge them level by level,
    // depth first with a stack of matched pairs (no recursion).
    std::vector<std::pair<size_t, size_t>> pairs{{0, 0}};
    while (!pairs.empty()) {
        const auto [a, b] = pairs.back();
        pairs.pop_back();
        matched(a, b);
        size_t x = then.FirstChild(a);
        size_t y = now.FirstChild(b);
        while (x != FolderSnapshot::kNone || y != FolderSnapshot::kNone) {
            int order;
            if (x == FolderSnapshot::kNone)
                order = 1;
            else if (y == FolderSnapshot::kNone)
                order = -1;
            else
                order = then.NameOf(x).compare(now.NameOf(y));
            if (order < 0) {
                found.push_back(
                    {In(then.At(x).Totals, measure), ChangeKind::Removed, static_cast<uint32_t>(x), 0});
                x = then.NextSibling(x, a);
            } else if (order > 0) {
                found.push_back(
                    {In(now.At(y).Totals, measure), ChangeKind::New, 0, static_cast<uint32_t>(y)});
                y = now.NextSibling(y, b);
            } else {
                pairs.emplace_back(x, y);
                x = then.NextSibling(x, a);
                y = now.NextSibling(y, b);
            }
        }
    }
    // Only the largest Most need their paths; those equal to the last of
    // them stay until the paths have ordered them.
    if (found.size() > options.Most) {
        const auto larger = [](const Found& p, const Found& q) { return p.Bytes > q.Bytes; };
        std::nth_element(found.begin(), found.begin() + static_cast<ptrdiff_t>(options.Most - 1), found.end(),
                         larger);
        const uint64_t cut = found[options.Most - 1].Bytes;
        found.erase(
            std::partition(found.begin(), found.end(), [cut](const Found& f) { return f.Bytes >= cut; }),
            found.end());
    }
    const std::vector<uint32_t> thenParents = then.Parents();
    const std::vector<uint32_t> nowParents = now.Parents();
    changes.reserve(found.size());
    for (const Found& f : found) {
        FolderChange c;
        c.Kind = f.Kind;
        if (f.Kind == ChangeKind::Removed) {
            c.Path = then.PathOf(f.Then, thenParents);
            c.Then = then.At(f.Then).Totals;
        } else {
            c.Path = now.PathOf(f.Now, nowParents);
            c.Now = now.At(f.Now).Totals;
            if (f.Kind == ChangeKind::Changed)
                c.Then = then.At(f.Then).Totals;
        }
        changes.push_back(std::move(c));
    }
    std::sort(changes.begin(), changes.end(), [measure](const FolderChange& p, const FolderChange& q) {
        const uint64_t a = p.Change(measure).Bytes;
        const uint64_t b = q.Change(measure).Bytes;
        if (a != b)
            return a > b;
        return p.Path < q.Path;
    });
    if (changes.size() > options.Most)
        changes.resize(options.Most);
    return changes;
}

EntryChange ChangeOfEntry(const FolderSnapshot& then, const TTreeEntry& entry)
{
    EntryChange change;
    const bool files = entry.IsFiles();
    if (!files && !IsSnapshotFolder(entry))
        return change;
    const TTreeEntry& folder = files && entry.Parent() ? *entry.Parent() : entry;
    change.Known = true;
    change.Now = TotalsOf(entry);
    const std::optional<size_t> at = then.Find(NamesBelowRoot(folder));
    if (!at)
        change.New = true;
    else
        change.Then = files ? then.LooseTotals(*at) : then.At(*at).Totals;
    return change;
}
