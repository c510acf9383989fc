#include "sizetree/ShownSizes.h"

#include <vector>

#include "sizetree/Ordering.h"
#include "sizetree/Scan.h"

void ShowSizes(TSizeTree& tree, SizeKind kind)
{
    if (tree.Shown() == kind)
        return;
    tree.SetShown(kind);
    tree.SetOnCompare(OrderFor(tree.OnCompare(), kind));
    std::vector<TTreeEntry*> pending;
    for (TTreeEntry* root = tree.FirstTopLevelEntry(); root; root = tree.NextSibling(root))
        pending.push_back(root);
    while (!pending.empty()) {
        TTreeEntry* e = pending.back();
        pending.pop_back();
        if (e->Parent() && !HasProvisionalCaption(*e))
            tree.SetCaptionUntold(e, FinalCaption(tree, *e));
        for (int i = 0; i < e->ChildCount(); ++i)
            pending.push_back(e->ChildAt(i));
    }
    tree.TellCaptionsChanged();
    for (TTreeEntry* root = tree.FirstTopLevelEntry(); root; root = tree.NextSibling(root))
        SortSubtree(tree, root);
}
