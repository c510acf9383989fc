// `tallowin --changes OLD NEW [--top N]`: what changed between two scans of
// a root, as text, no window. OLD and NEW are each a folder (scanned now)
// or a saved scan (savedscan/SavedScan.h). One line per folder whose total
// changed, largest change first (history/Comparison.h): the signed figure
// (history/ChangeText.h), two spaces, the path escaped as the report
// escapes it.
//
// Protocol: the launcher parses its command line into ChangesOptions and
// calls RunChanges once, before any Qt object exists, on the calling
// thread. Exit statuses as the report's (sizetree/Report.h): 0; 1 when some
// folder could not be read (one line each on err, OLD's before NEW's, the
// changes on out unchanged) or the output failed; 2 when OLD or NEW is no
// readable folder nor saved scan: exactly one line on err, nothing on out.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

struct ChangesOptions {
    std::string Old;
    std::string New;
    size_t Top = 20;  // lines at most
};

int RunChanges(const ChangesOptions& options, std::ostream& out, std::ostream& err);
