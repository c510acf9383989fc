// The folder totals of one scanned root at one time: every folder's name
// (bytes) with its apparent total and its disk total, no file names. What
// the program remembers of a scan, and what two scans are compared by.
//
// Protocol: SnapshotOfTree copies a finished root on the tree's thread (the
// UI thread for the window); the copy is self-contained and may then go to
// any thread (a worker writes it, history/ScanStore.h). A snapshot is not
// changed after it is made; several threads may read one at once.
//
// Layout: the folders in preorder, the root first, each folder's subfolders
// in ascending order of their name bytes; a folder's loose files are what
// its total has beyond its subfolders' totals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sizetree/SizeTree.h"

// Bytes of a folder with everything below it.
struct FolderTotals {
    uint64_t Apparent = 0;  // the files' sizes, as the captions count them
    uint64_t Disk = 0;      // the files' blocks x 512
    bool operator==(const FolderTotals&) const = default;
};

class FolderSnapshot {
public:
    struct Folder {
        FolderTotals Totals;
        uint64_t NameOffset = 0;  // into the names' bytes
        uint32_t NameLength = 0;  // 0 for the root
        uint32_t End = 0;         // index one past its last descendant
        bool operator==(const Folder&) const = default;
    };

    FolderSnapshot() = default;
    FolderSnapshot(std::string rootPath, int64_t scanTime);
    bool operator==(const FolderSnapshot&) const = default;

    // The root's path as the scan named it, and when the scan ran (Unix
    // seconds; 0 when unknown).
    const std::string& RootPath() const { return rootPath_; }
    int64_t ScanTime() const { return scanTime_; }

    size_t Count() const { return folders_.size(); }
    const Folder& At(size_t i) const { return folders_[i]; }
    std::string_view NameOf(size_t i) const
    {
        return std::string_view(names_).substr(folders_[i].NameOffset, folders_[i].NameLength);
    }
    // Its first subfolder, and the next subfolder of its parent: kNone at the end.
    static constexpr size_t kNone = SIZE_MAX;
    size_t FirstChild(size_t i) const { return i + 1 < folders_[i].End ? i + 1 : kNone; }
    size_t NextSibling(size_t i, size_t parent) const
    {
        return folders_[i].End < folders_[parent].End ? folders_[i].End : kNone;
    }
    // What its loose files add: its totals less its subfolders'.
    FolderTotals LooseTotals(size_t i) const;

    // The folder at a path below the root ("" the root, "a/b" its
    // subfolder a's subfolder b); nothing when there is none.
    std::optional<size_t> Find(std::string_view pathBelowRoot) const;
    // The same by names, outermost first.
    std::optional<size_t> Find(const std::vector<std::string_view>& names) const;
    // Its path as the tree writes it: the root's path, "/" unless that
    // already ends in one, the names joined by "/".
    std::string PathOf(size_t i) const;
    // Every folder's parent (the root's: kNone), for many PathOf-like walks.
    std::vector<uint32_t> Parents() const;
    // Path of i from a Parents() table.
    std::string PathOf(size_t i, const std::vector<uint32_t>& parents) const;

    // Building, in preorder: Open a folder (the root first, with an empty
    // name), then its subfolders, then Close it. Names must come in
    // ascending order among siblings (the caller's duty). Open returns the
    // folder's index.
    size_t Open(std::string_view name, FolderTotals totals);
    void Close(size_t index) { folders_[index].End = static_cast<uint32_t>(folders_.size()); }
    void Reserve(size_t folders, size_t nameBytes);
    // All the names' bytes, in preorder.
    const std::string& Names() const { return names_; }

private:
    std::string rootPath_;
    int64_t scanTime_ = 0;
    std::vector<Folder> folders_;
    std::string names_;
};

// Totals of an entry as the tree holds them.
FolderTotals TotalsOf(const TTreeEntry& entry);

// True for the entries a snapshot keeps: folders, not FILES entries nor
// listed files.
bool IsSnapshotFolder(const TTreeEntry& entry);

// The folders of a finished root (any top-level entry of the tree) with
// scanTime (Unix seconds). Subfolders are taken in name order, whatever the
// tree's order. Call it on the tree's thread.
FolderSnapshot SnapshotOfTree(const TTreeEntry& root, int64_t scanTime);

// The names from the root (excluded) down to entry (included), outermost
// first: its path below the root. Entry's own tree thread.
std::vector<std::string_view> NamesBelowRoot(const TTreeEntry& entry);
