// The size tree: entries with captions, images and owned size records.
//
// Protocol: one TSizeTree owns every entry; each entry owns its TNode and its
// children. Entries never move in memory while they exist, so the scan and
// event handlers may hold TTreeEntry pointers across ProcessPendingMessages.
// All calls happen on one thread (the UI thread). Observers (the window's Qt
// model) are registered with AddObserver and hear about every change, in the
// order: About-to-X, the change, X-done. An observer must outlive its
// registration; it must not change the tree from inside a notification.
#pragma once

#include <memory>
#include <string>
#include <vector>

// The size record of one entry.
struct TNode {
    std::string Path;  // full path; a FILES entry: folder path + "/[FILES]"
    double Size = 0;   // bytes
    std::string Name;  // bare folder name; empty for a root and a FILES entry
};

class TSizeTree;

class TTreeEntry {
public:
    const std::string& Caption() const { return caption_; }
    int ImageIndex() const { return image_; }
    TNode& Node() { return node_; }
    const TNode& Node() const { return node_; }
    TTreeEntry* Parent() const { return parent_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    TTreeEntry* ChildAt(int i) const { return children_[static_cast<size_t>(i)].get(); }
    // Position among its siblings (top-level entries: among the roots).
    int Row() const { return row_; }

private:
    friend class TSizeTree;
    std::string caption_;
    int image_ = 0;
    int row_ = 0;
    TNode node_;
    TTreeEntry* parent_ = nullptr;
    std::vector<std::unique_ptr<TTreeEntry>> children_;
};

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
    void SetCaption(TTreeEntry* entry, std::string text);
    void SetImageIndex(TTreeEntry* entry, int index);
    // Orders entry's immediate children with OnCompare (not stable).
    void SortChildren(TTreeEntry* entry);
    // Removes entry with all descendants and their records.
    void DeleteEntry(TTreeEntry* entry);

    TTreeEntry* FirstTopLevelEntry() const;
    TTreeEntry* NextSibling(const TTreeEntry* entry) const;  // nullptr after the last
    int TopLevelCount() const;
    TTreeEntry* TopLevelAt(int i) const;

    TTVCompareEvent OnCompare() const { return onCompare_; }
    void SetOnCompare(TTVCompareEvent compare) { onCompare_ = compare; }

    void AddObserver(TTreeObserver* observer);
    void RemoveObserver(TTreeObserver* observer);

private:
    std::vector<std::unique_ptr<TTreeEntry>> roots_;
    std::vector<TTreeObserver*> observers_;
    TTVCompareEvent onCompare_;
};
