// Headless export: scans a folder and writes it to a stream as a saved scan
// (savedscan/ScanWriter.h), streamed while scanning: each folder's files
// are written once the scan reaches that folder and then let go, so memory
// stays what the scan needs.
//
// Protocol: the launcher parses `--export PATH` and calls RunExport once,
// before any Qt object exists, on the calling thread. Exit statuses and the
// lines on err are the report's (sizetree/Report.h): 0; 1 when some folder
// could not be read (one line each, the export still whole) or the output
// failed; 2 for a PATH that is no readable folder, with nothing written.
#pragma once

#include <ostream>
#include <string>

struct ExportOptions {
    std::string Path;            // the folder to scan, as given
    std::string ProgramVersion;  // written into the file's metadata
};

int RunExport(const ExportOptions& options, std::ostream& out, std::ostream& err);

// The name the file gives a root at path: path itself when it is absolute
// and has no "." or ".." parts, else the absolute path the system resolves
// it to ("" when it cannot).
std::string ExportRootName(const std::string& path);
