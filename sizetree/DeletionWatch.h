// Notices when a watched entry, or one of its ancestors, is about to be
// deleted, so a scan that lets other code run can stop before touching it.
//
// Protocol: lives on the stack of the scan for its whole duration; registers
// itself with the tree in its constructor and unregisters in its destructor.
// SetWatched may move the watch (to the folder under scan); Lost() stays true
// once a deletion hit the watched chain.
#pragma once

#include "sizetree/SizeTree.h"

class DeletionWatch : public TTreeObserver {
public:
    DeletionWatch(TSizeTree& tree, TTreeEntry* watched = nullptr) : tree_(tree), watched_(watched)
    {
        tree_.AddObserver(this);
    }
    ~DeletionWatch() override { tree_.RemoveObserver(this); }
    DeletionWatch(const DeletionWatch&) = delete;
    DeletionWatch& operator=(const DeletionWatch&) = delete;

    void SetWatched(TTreeEntry* entry) { watched_ = entry; }
    bool Lost() const { return lost_; }

    void EntryAboutToBeDeleted(TTreeEntry* entry) override
    {
        for (TTreeEntry* e = watched_; e && !lost_; e = e->Parent())
            lost_ = e == entry;
    }
    void EntryAboutToBeAdded(TTreeEntry*, int) override {}
    void EntryAdded(TTreeEntry*) override {}
    void EntryChanged(TTreeEntry*) override {}
    void ChildrenAboutToBeReordered(TTreeEntry*) override {}
    void ChildrenReordered(TTreeEntry*) override {}
    void EntryDeleted(TTreeEntry*, int) override {}

private:
    TSizeTree& tree_;
    TTreeEntry* watched_;
    bool lost_ = false;
};
