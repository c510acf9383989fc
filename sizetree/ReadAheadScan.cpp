#include "sizetree/ReadAheadScan.h"

#include <utility>

namespace {

// Notices the deletion of the root under scan or of one of its ancestors.
class TRootWatch : public TTreeObserver {
public:
    TRootWatch(TSizeTree& tree, TTreeEntry* root) : tree_(tree), root_(root)
    {
        tree_.AddObserver(this);
    }
    ~TRootWatch() override { tree_.RemoveObserver(this); }
    TRootWatch(const TRootWatch&) = delete;
    TRootWatch& operator=(const TRootWatch&) = delete;

    bool Lost() const { return lost_; }

    void EntryAboutToBeDeleted(TTreeEntry* entry) override
    {
        for (TTreeEntry* e = root_; e && !lost_; e = e->Parent())
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
    TTreeEntry* root_;
    bool lost_ = false;
};

}  // namespace

void ScanFolderReadAhead(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks,
                         TReadAheadOptions options)
{
    if (!entry)
        return;
    TRootWatch watch(tree, entry);
    std::function<bool()> callerWait = std::move(options.Wait);
    options.Wait = [&] {
        if (callerWait && !callerWait())
            return false;
        if (watch.Lost())
            return false;
        if (hooks.ProcessPendingMessages)
            hooks.ProcessPendingMessages();
        return !watch.Lost() && !(hooks.StopRequested && hooks.StopRequested());
    };
    TReadAheadLister lister(std::move(options));
    ScanFolderWith(tree, entry, hooks, lister);
}
