// Headless report: scans a folder with ScanFolder and prints the finished
// tree, one caption a line, indented by depth; with Files, each folder's
// loose files listed under its FILES line as the window lists them.
//
// Protocol: the launcher parses its command line into ReportOptions (see
// app/CommandLine.h) and calls RunReport once, before any Qt object exists,
// on the calling thread. Returns the exit status: 0; 1 when some folder could
// not be read (one line each on err, in scan order, the report on out
// unchanged) or the report could not be written; 2 for a PATH that is no
// readable folder. PrintReport prints any finished tree the same way (a
// saved scan's: savedscan/SavedReport.h).
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "sizetree/LooseFiles.h"
#include "sizetree/SizeTree.h"

struct ReportOptions {
    std::string Path;     // the folder to scan; printed as given
    bool ByName = false;  // order siblings by name instead of size
    int Depth = -1;       // levels below Path to print; -1: every level
    // Under each FILES line, its folder's files one level deeper (a level
    // as any other for Depth), the largest 10,000 and their smaller rest.
    bool Files = false;
    // Every figure, and the size order, from the bytes on disk (blocks x
    // 512, a hard-linked file once) instead of the apparent sizes.
    bool DiskUsage = false;
};

// An empty tree set up for the report: its order and the figure it shows.
void PrepareReportTree(TSizeTree& tree, const ReportOptions& options);

// Exit statuses of RunReport besides 0.
constexpr int kReportExitBadPath = 2;         // Path is not a folder that can be read
constexpr int kReportExitWriteFailed = 1;     // out failed
constexpr int kReportExitSomeUnreadable = 1;  // some folder below could not be read

// Scans options.Path and prints its tree on out; failures as one line on err.
int RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err);

// The files of one folder entry of the printed tree, for options.Files.
using FolderFilesLister = std::function<LooseFileListing(const TTreeEntry& folder)>;
class ReportPieces;
// Prints a finished tree from root as RunReport does (a saved scan's too):
// the exit status, 1 when unreadable is true or a listing fails. pieces:
// the text of subtrees written ahead (sizetree/ReportPieces.h), or null.
int PrintReport(TSizeTree& tree, TTreeEntry& root, const ReportOptions& options,
                const FolderFilesLister& listFiles, bool unreadable, std::ostream& out, std::ostream& err,
                ReportPieces* pieces = nullptr);

// True when path names a folder this process can list; else says why in
// one line on err.
bool CheckFolder(const std::string& path, std::ostream& err);
// One folder that could not be read (fully), as other disk usage tools say it.
void TellCannotRead(std::ostream& err, const std::string& path, uint8_t code);
