// ScanFolder over the read-ahead lister.
//
// Protocol: as ScanFolder (UI thread, hooks called on it). While the scan
// waits for a folder the workers have not finished, hooks.ProcessPendingMessages
// runs about every options.WaitTick, and the scan stops once
// hooks.StopRequested returns true or the entry under scan (or an ancestor)
// is deleted. The lister, and with it every worker thread, is gone when the
// call returns.
#pragma once

#include "sizetree/ReadAheadLister.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

// options.Wait is set from hooks (one given by the caller runs first).
void ScanFolderReadAhead(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks,
                         TReadAheadOptions options = {});
