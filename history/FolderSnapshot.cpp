#include "history/FolderSnapshot.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Name bytes as unsigned bytes, a proper prefix first.
bool NameLess(std::string_view a, std::string_view b)
{
    return a < b;  // char_traits<char>::compare compares as unsigned char
}

uint64_t Bytes(double size)
{
    if (!(size > 0))
        return 0;
    return size >= 18446744073709551615.0 ? UINT64_MAX : static_cast<uint64_t>(size);
}

uint64_t Less(uint64_t total, uint64_t part)
{
    return total > part ? total - part : 0;
}

}  // namespace

FolderSnapshot::FolderSnapshot(std::string rootPath, int64_t scanTime)
    : rootPath_(std::move(rootPath)), scanTime_(scanTime)
{
}

void FolderSnapshot::Reserve(size_t folders, size_t nameBytes)
{
    folders_.reserve(folders);
    names_.reserve(nameBytes);
}

size_t FolderSnapshot::Open(std::string_view name, FolderTotals totals)
{
    Folder f;
    f.Totals = totals;
    f.NameOffset = names_.size();
    f.NameLength = static_cast<uint32_t>(name.size());
    names_.append(name);
    folders_.push_back(f);
    folders_.back().End = static_cast<uint32_t>(folders_.size());
    return folders_.size() - 1;
}

FolderTotals FolderSnapshot::LooseTotals(size_t i) const
{
    FolderTotals loose = folders_[i].Totals;
    for (size_t c = FirstChild(i); c != kNone; c = NextSibling(c, i)) {
        loose.Apparent = Less(loose.Apparent, folders_[c].Totals.Apparent);
        loose.Disk = Less(loose.Disk, folders_[c].Totals.Disk);
    }
    return loose;
}

std::optional<size_t> FolderSnapshot::Find(const std::vector<std::string_view>& names) const
{
    if (folders_.empty())
        return std::nullopt;
    size_t at = 0;
    for (std::string_view name : names) {
        size_t c = FirstChild(at);
        // Siblings stand in name order: stop at the first that is not less.
        while (c != kNone && NameLess(NameOf(c), name))
            c = NextSibling(c, at);
        if (c == kNone || NameOf(c) != name)
            return std::nullopt;
        at = c;
    }
    return at;
}

std::optional<size_t> FolderSnapshot::Find(std::string_view pathBelowRoot) const
{
    std::vector<std::string_view> names;
    while (!pathBelowRoot.empty()) {
        const size_t slash = pathBelowRoot.find('/');
        names.push_back(pathBelowRoot.substr(0, slash));
        pathBelowRoot = slash == std::string_view::npos ? std::string_view()
                                                        : pathBelowRoot.substr(slash + 1);
    }
    return Find(names);
}

std::vector<uint32_t> FolderSnapshot::Parents() const
{
    std::vector<uint32_t> parents(folders_.size(), UINT32_MAX);
    std::vector<uint32_t> open;  // the folders whose range holds the next one
    for (size_t i = 0; i < folders_.size(); ++i) {
        while (!open.empty() && folders_[open.back()].End <= i)
            open.pop_back();
        if (!open.empty())
            parents[i] = open.back();
        open.push_back(static_cast<uint32_t>(i));
    }
    return parents;
}

std::string FolderSnapshot::PathOf(size_t i, const std::vector<uint32_t>& parents) const
{
    std::vector<size_t> chain;
    for (size_t at = i; at != 0 && at < parents.size(); at = parents[at])
        chain.push_back(at);
    std::string path = rootPath_;
    for (size_t k = chain.size(); k-- > 0;) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path += NameOf(chain[k]);
    }
    return path;
}

std::string FolderSnapshot::PathOf(size_t i) const
{
    // Down from the root to the child whose range holds i.
    std::string path = rootPath_;
    size_t at = 0;
    while (at != i) {
        size_t c = FirstChild(at);
        while (folders_[c].End <= i)
            c = NextSibling(c, at);
        if (path.empty() || path.back() != '/')
            path += '/';
        path += NameOf(c);
        at = c;
    }
    return path;
}

FolderTotals TotalsOf(const TTreeEntry& entry)
{
    return FolderTotals{Bytes(entry.Size()), entry.Counts().DiskBytes};
}

bool IsSnapshotFolder(const TTreeEntry& entry)
{
    return !entry.IsFiles() && !entry.IsListedFile() && !entry.IsSmallerFiles();
}

FolderSnapshot SnapshotOfTree(const TTreeEntry& root, int64_t scanTime)
{
    FolderSnapshot snapshot(root.Path(), scanTime);
    const size_t folders = static_cast<size_t>(root.Counts().Folders) + 1;
    snapshot.Reserve(folders, folders * 12);
    snapshot.Open(std::string_view(), TotalsOf(root));
    // Depth first; each level's subfolders sit in `pending` in name order
    // from [Next, End) of their frame.
    struct Frame {
        size_t Index;  // in the snapshot
        size_t Begin;
        size_t Next;
        size_t End;
    };
    std::vector<const TTreeEntry*> pending;
    std::vector<Frame> frames;
    const auto push = [&](const TTreeEntry& entry, size_t index) {
        const size_t begin = pending.size();
        for (int i = 0; i < entry.ChildCount(); ++i)
            if (IsSnapshotFolder(*entry.ChildAt(i)))
                pending.push_back(entry.ChildAt(i));
        const auto byName = [](const TTreeEntry* a, const TTreeEntry* b) {
            return NameLess(a->Name(), b->Name());
        };
        if (!std::is_sorted(pending.begin() + static_cast<ptrdiff_t>(begin), pending.end(), byName))
            std::stable_sort(pending.begin() + static_cast<ptrdiff_t>(begin), pending.end(), byName);
        frames.push_back(Frame{index, begin, begin, pending.size()});
    };
    push(root, 0);
    while (!frames.empty()) {
        Frame& top = frames.back();
        if (top.Next == top.End) {
            snapshot.Close(top.Index);
            pending.resize(top.Begin);
            frames.pop_back();
            continue;
        }
        const TTreeEntry* child = pending[top.Next++];
        push(*child, snapshot.Open(child->Name(), TotalsOf(*child)));
    }
    return snapshot;
}

std::vector<std::string_view> NamesBelowRoot(const TTreeEntry& entry)
{
    std::vector<std::string_view> names;
    for (const TTreeEntry* e = &entry; e->Parent(); e = e->Parent())
        names.push_back(e->Name());
    std::reverse(names.begin(), names.end());
    return names;
}
