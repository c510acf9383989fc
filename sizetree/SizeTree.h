// The size tree: entries with captions, images and owned size records.
//
// Protocol: one TSizeTree owns every entry; each entry owns its TNode and its
// children. Entries never move in memory while they exist, so the scan and
// event handlers may hold TTreeEntry pointers across ProcessPendingMessages.
// All calls happen on one thread (the UI thread). Observers (the window's Qt
// model) are registered with AddObserver and hear about every change, in the
// order: About-to-X, the change, X-done. An observer must outlive its
// registration; it must not change the tree from inside a notification.
//
// Records are stored compactly: an entry keeps its size, its name and how its
// path follows from its parent's (parent path, "/" unless it already ends in
// "/", then the name, or "[FILES]" for a FILES entry); only a root, or a
// record whose path follows no rule, holds its path. Node() assembles the
// record from these on request. A FILES entry may have children once its
// files are listed (sizetree/LooseFiles.h): one leaf per file and one for the
// smaller rest; their paths follow from the folder's, not the FILES entry's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The name a FILES entry stands under in paths, captions and the chart.
inline constexpr std::string_view kFilesName = "[FILES]";

// The size record of one entry.
struct TNode {
    std::string Path;  // full path; a FILES entry: folder path + "/[FILES]"
    double Size = 0;   // bytes
    std::string Name;  // bare folder name; empty for a root and a FILES entry
};

class TSizeTree;

// Which figure captions, orders and the chart show: the apparent size (the
// default) or the bytes on disk (blocks x 512, a hard-linked file once).
// Both are always counted; only what is shown switches.
enum class SizeKind : uint8_t { Apparent, Disk };

// The figure of that kind among the two an entry or a file has, in bytes.
inline double SizeOfKind(SizeKind kind, double apparent, uint64_t diskBytes)
{
    return kind == SizeKind::Disk ? static_cast<double>(diskBytes) : apparent;
}

// What the scan counts besides the size: the whole subtree below an entry
// (a FILES entry: its loose files). Counts stop at their largest value.
struct EntryCounts {
    uint64_t DiskBytes = 0;        // blocks x 512 of its files, hard links once
    uint32_t Files = 0;            // files (anything but folders), links once
    uint32_t Folders = 0;          // folders below it, not itself
    uint32_t UnreadableBelow = 0;  // folders below it that could not be read
};

// How an entry's Path is obtained when its TNode has not been built.
enum class TPathKind : uint8_t {
    pkExplicit,      // held as given (roots, records whose Path follows no rule)
    pkFolder,        // parent's folder path + name
    pkFiles,         // parent's folder path + "[FILES]"
    pkFile,          // a listed file: the folder's path (its parent's parent) + name
    pkSmallerFiles,  // the listed files' remainder, named "[N smaller files]": the folder's path
};

class TTreeEntry {
public:
    const std::string& Caption() const { return caption_; }
    int ImageIndex() const { return image_; }
    // The entry's record (Path, Size, Name), assembled from what it keeps.
    TNode Node() const;
    TTreeEntry* Parent() const { return parent_; }
    // The top-level entry above it (itself for a root).
    TTreeEntry* Root() { return RootFrom(this); }
    const TTreeEntry* Root() const { return RootFrom(this); }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    TTreeEntry* ChildAt(int i) const { return children_[static_cast<size_t>(i)]; }
    // Position among its siblings (top-level entries: among the roots).
    int Row() const { return row_; }

    // The record's fields one by one; Path is built by walking up.
    double Size() const { return size_; }
    void SetSize(double bytes) { size_ = bytes; }
    const std::string& Name() const { return name_; }
    std::string Path() const;
    bool IsFiles() const { return pathKind_ == TPathKind::pkFiles; }
    // One listed file under a FILES entry, and the "[N smaller files]" entry.
    bool IsListedFile() const { return pathKind_ == TPathKind::pkFile; }
    bool IsSmallerFiles() const { return pathKind_ == TPathKind::pkSmallerFiles; }
    // A listed file whose size another link, counted first, holds: size 0.
    bool IsCountedElsewhere() const { return (flags_ & kCountedElsewhere) != 0; }
    void SetCountedElsewhere(bool on)
    {
        flags_ = static_cast<uint8_t>(on ? flags_ | kCountedElsewhere : flags_ & ~kCountedElsewhere);
    }

    // Set by the scan, no observer told (like the size).
    const EntryCounts& Counts() const { return counts_; }
    EntryCounts& Counts() { return counts_; }
    // Why its folder could not be read (fully); 0 when it could (the codes
    // of sizetree/Listing.h).
    uint8_t ReadError() const { return readError_; }
    void SetReadError(uint8_t code) { readError_ = code; }
    // The folder the scan listed (or passed by, on another file system), or
    // the listed file: its device and inode; 0, 0 when unknown (a FILES
    // entry, a root that could not be looked at).
    uint64_t Device() const { return device_; }
    uint64_t Inode() const { return inode_; }
    void SetIdentity(uint64_t device, uint64_t inode)
    {
        device_ = device;
        inode_ = inode;
    }

private:
    friend class TSizeTree;
    void Reset();
    template <typename Entry> static Entry* RootFrom(Entry* e)
    {
        while (e->parent_)
            e = e->parent_;
        return e;
    }

    static constexpr uint8_t kCountedElsewhere = 1;

    std::string caption_;
    std::string name_;
    double size_ = 0;
    std::unique_ptr<std::string> path_;  // pkExplicit only
    TTreeEntry* parent_ = nullptr;
    std::vector<TTreeEntry*> children_;  // owned through the tree's pool
    int row_ = 0;
    int8_t image_ = 0;  // the image list has 3 images
    uint8_t flags_ = 0;
    TPathKind pathKind_ = TPathKind::pkExplicit;
    uint8_t readError_ = 0;
    EntryCounts counts_;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
};

// The figure of that kind of an entry, in bytes.
inline double ShownSize(const TTreeEntry& e, SizeKind kind)
{
    return SizeOfKind(kind, e.Size(), e.Counts().DiskBytes);
}

// Comparator in force: negative puts n1 first, positive n2, 0 equal.
using TTVCompareEvent = int (*)(const TTreeEntry& n1, const TTreeEntry& n2);

class TTreeObserver {
public:
    virtual ~TTreeObserver() = default;
    // parent is nullptr for a top-level entry; row is where it goes.
    virtual void EntryAboutToBeAdded(TTreeEntry* parent, int row) = 0;
    virtual void EntryAdded(TTreeEntry* entry) = 0;
    // Caption or image changed.
    virtual void EntryChanged(TTreeEntry* entry) = 0;
    // The children of parent are about to be / have been put in another order;
    // entries keep their identity, only Row() changes.
    virtual void ChildrenAboutToBeReordered(TTreeEntry* parent) = 0;
    virtual void ChildrenReordered(TTreeEntry* parent) = 0;
    // entry and all its descendants are about to go / have gone.
    virtual void EntryAboutToBeDeleted(TTreeEntry* entry) = 0;
    virtual void EntryDeleted(TTreeEntry* parent, int row) = 0;
    // Any number of captions changed at once (the sizes shown switched);
    // entries, images and order are as they were.
    virtual void CaptionsChanged() {}
};

class TSizeTree {
public:
    TSizeTree();
    ~TSizeTree();
    TSizeTree(const TSizeTree&) = delete;
    TSizeTree& operator=(const TSizeTree&) = delete;

    // Appends after parent's children (nullptr: after the top-level entries);
    // image index 0. Returns the new entry, owned by the tree.
    TTreeEntry* AddChildEntry(TTreeEntry* parent, std::string caption, TNode record);
    // The same for a record whose Path follows from parent and name by the
    // rule above (a FILES or smaller-files entry has an empty name), with
    // the image index given.
    TTreeEntry* AddDerivedEntry(TTreeEntry* parent, std::string caption, std::string name, double size,
                                TPathKind kind, int image = 0);
    void SetCaption(TTreeEntry* entry, std::string text);
    // Many captions changed in a row: each set untold, then observers told
    // once by TellCaptionsChanged.
    void SetCaptionUntold(TTreeEntry* entry, std::string_view text) { entry->caption_.assign(text); }
    void TellCaptionsChanged();
    void SetImageIndex(TTreeEntry* entry, int index);
    // Orders entry's immediate children with OnCompare, those it calls equal
    // by their names' bytes. Children already in order are left as they are
    // and nothing is notified.
    // nullptr (the top level) is never reordered.
    void SortChildren(TTreeEntry* entry);
    // Removes entry with all descendants and their records.
    void DeleteEntry(TTreeEntry* entry);

    TTreeEntry* FirstTopLevelEntry() const;
    TTreeEntry* NextSibling(const TTreeEntry* entry) const;  // nullptr after the last
    int TopLevelCount() const;
    TTreeEntry* TopLevelAt(int i) const;

    // The figure captions and the size order use (sizetree/Ordering.h
    // switches it with ShowSizes); an entry's figure of that kind.
    SizeKind Shown() const { return shown_; }
    void SetShown(SizeKind kind) { shown_ = kind; }
    double ShownSize(const TTreeEntry& e) const { return ::ShownSize(e, shown_); }

    TTVCompareEvent OnCompare() const { return onCompare_; }
    void SetOnCompare(TTVCompareEvent compare) { onCompare_ = compare; }

    void AddObserver(TTreeObserver* observer);
    void RemoveObserver(TTreeObserver* observer);

private:
    TTreeEntry* Allocate();
    void Release(TTreeEntry* entry);
    TTreeEntry* Append(TTreeEntry* parent, std::string caption);
    std::vector<TTreeEntry*>& SiblingsOf(TTreeEntry* entry);

    // Entries live in fixed blocks that never move; freed ones are reused.
    struct EntryBlock;
    std::vector<std::unique_ptr<EntryBlock>> blocks_;
    size_t usedInLastBlock_ = 0;
    std::vector<TTreeEntry*> free_;

    std::vector<TTreeEntry*> roots_;
    std::vector<TTreeObserver*> observers_;
    TTVCompareEvent onCompare_;
    SizeKind shown_ = SizeKind::Apparent;
};
