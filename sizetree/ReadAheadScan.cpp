#include "sizetree/ReadAheadScan.h"

#include <utility>

#include "sizetree/DeletionWatch.h"

void ScanFolderReadAhead(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks,
                         TReadAheadOptions options)
{
    if (!entry)
        return;
    TDeletionWatch watch(tree, entry);
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
