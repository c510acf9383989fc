// SelectionKeeper: where the tree view's current entry goes when entries go.
// Qt drops a current entry inside a removed subtree without notice; this
// moves it first, as a tree control does. When rows go and Qt moves the
// current entry itself, it selects that entry as well.
//
// Protocol: the window makes one after its view has the model and hands it
// to its scan session, which calls MoveOff before it deletes a root itself
// and runs every other change of the tree (a rescan, a removal, a listing
// put) through Around. UI thread.
#pragma once

#include <functional>

#include "sizetree/Rescan.h"
#include "sizetree/SizeTree.h"

class QItemSelectionModel;
class SizeTreeModel;

class SelectionKeeper {
public:
    SelectionKeeper(TSizeTree& tree, SizeTreeModel& model, QItemSelectionModel& selection);

    TTreeEntry* Current() const;
    // A current entry in entry's subtree moves to the sibling before, else
    // the one after, else the parent, else nowhere.
    void MoveOff(TTreeEntry* entry);
    // Runs change with hooks (scan: the scan's own) that move a current
    // entry below a folder whose children go up to it, and off a subtree that
    // goes; afterwards it returns to the path it had at the first of these
    // when that is in the tree again (a rescan of the whole root may follow).
    // keepListedFile: a listed file that was current is current again when
    // it is listed anew.
    void Around(const TScanHooks& scan, const std::function<void(const TreeChangeHooks&)>& change,
                bool keepListedFile = false);

private:
    void Select(const TTreeEntry* entry);

    TSizeTree& tree_;
    SizeTreeModel& model_;
    QItemSelectionModel& selection_;
};
