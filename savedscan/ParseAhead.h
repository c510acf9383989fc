// The parse of a saved scan on a thread of its own, a few thousand items
// ahead of what is done with them, so that reading the text and building
// the tree share two cores.
//
// Protocol: ParseSavedScanAhead(in, sink) makes the calls on sink that
// ParseSavedScan(in, sink) would make, in the same order, on the calling
// thread; `in` (and its source) belong to the parsing thread until it
// returns. A fault of the parse is thrown here after the calls for what came
// before it; an exception of the sink ends the parse and is thrown on. The
// parsing thread is joined before it returns, however it returns.
#pragma once

#include "savedscan/JsonCursor.h"
#include "savedscan/ScanParser.h"

void ParseSavedScanAhead(JsonCursor& in, SavedScanSink& sink);
