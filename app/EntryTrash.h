// Move to Trash as the window offers it: the verdict before the user is
// asked, and the move once they said yes, as texts to show. The move itself
// is the size tree's (sizetree/Trash.h); this turns its results into words,
// telling failures apart by their kind and errno, never by their text.
//
// Protocol: UI thread; the entry is read during the call only. The window
// asks JudgeTrash first (a refusal goes to the status bar and nothing is
// asked); after Yes, and after checking the entry still exists, the scan
// session calls MoveEntryToTrash and shows Notice in the status bar (the
// item changed on disk meanwhile) or Warning in a dialog (no trash would
// take it), or, when Moved, takes the entry out of the tree.
#pragma once

#include <QString>
#include <string>

#include "sizetree/SizeTree.h"
#include "sizetree/Trash.h"

// Why Move to Trash does not apply to entry now (a scan runs; a root, FILES
// entries, the smaller files, an item no longer as recorded on disk); ""
// when it does. Looks at the disk, changes nothing.
QString JudgeTrash(const TTreeEntry& entry, bool scanning);

struct TrashOutcome {
    bool Moved = false;
    QString Notice;   // for the status bar
    QString Warning;  // for a dialog
};

// Moves entry's item to the trash (dataHome: the generic data folder).
TrashOutcome MoveEntryToTrash(const TTreeEntry& entry, const std::string& dataHome);
