// The report of a saved scan: `tallowin --report FILE`, printed exactly as
// the report of the folder it was taken from (sizetree/Report.h), its
// --files listed from the file.
//
// Protocol: the launcher asks NamesSavedScan(path) and, when true, calls
// RunSavedReport instead of RunReport, before any Qt object exists, on the
// calling thread. Exit statuses: 0; 1 when the file marks folders
// unreadable (one line each on err, in file order) or the output failed;
// 2 when the file is no saved scan or cannot be read, with exactly one line
// on err and nothing on out.
#pragma once

#include <ostream>
#include <string>

#include "sizetree/Report.h"

// True when path names a file or a pipe (a saved scan unpacked on the fly);
// devices and sockets are no saved scans, and a folder is scanned.
bool NamesSavedScan(const std::string& path);

int RunSavedReport(const ReportOptions& options, std::ostream& out, std::ostream& err);
