#include "sizetree/ShownSizes.h"

#include <string>
#include <vector>

#include "sizetree/Ordering.h"
#include "sizetree/Scan.h"

void ShowSizes(TSizeTree& tree, SizeKind kind)
{
    if (tree.Shown() == kind)
        return;
    tree.SetShown(kind);
    tree.SetOnCompare(OrderFor(tree.OnCompare(), kind));
    // One pass: each folder's children re-captioned, then put in order,
    // while they are at hand; parents before their children.
    std::string caption;  // one buffer for all: captions are made without allocating
    std::vector<TTreeEntry*> pending;
    for (TTreeEntry* root = tree.FirstTopLevelEntry(); root; root = tree.NextSibling(root))
        pending.push_back(root);
    while (!pending.empty()) {
        TTreeEntry* e = pending.back();
        pending.pop_back();
        for (int i = 0; i < e->ChildCount(); ++i) {
            TTreeEntry* child = e->ChildAt(i);
            if (!HasProvisionalCaption(*child)) {
                SetFinalCaptionText(caption, tree, *child);
                tree.SetCaptionUntold(child, caption);
            }
        }
        tree.SortChildren(e);
        for (int i = e->ChildCount(); i-- > 0;)
            if (e->ChildAt(i)->ChildCount() > 0)
                pending.push_back(e->ChildAt(i));
    }
    tree.TellCaptionsChanged();
}
