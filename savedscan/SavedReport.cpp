#include "savedscan/SavedReport.h"

#include <sys/stat.h>

#include <cstring>
#include <sstream>

#include "savedscan/SavedScan.h"
#include "sizetree/Ordering.h"
#include "sizetree/ReportPieces.h"
#include "sizetree/ReportText.h"

bool NamesSavedScan(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode));
}

std::string DescribeFault(const std::string& file, const SavedScanFault& fault)
{
    const std::string name = EscapeForReport(file);
    if (fault.Errno)
        return "tallowin: cannot read '" + name + "': " + std::strerror(fault.Errno);
    return "tallowin: " + name + ": not a saved scan: " + fault.Reason + " (byte "
        + std::to_string(fault.Byte) + ")";
}

int RunSavedReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    TSizeTree tree;
    PrepareReportTree(tree, options);
    // Held until the whole file is known to be good: a bad file gets one line.
    std::ostringstream unreadableLines;
    bool unreadable = false;
    SavedScanOptions read;
    read.IndexFiles = options.Files;
    read.ReadFailed = [&](const TTreeEntry& folder) {
        unreadable = true;
        TellCannotRead(unreadableLines, folder.Path(), folder.ReadError());
    };
    // Without listings, each large subtree is printed as it ends, while it
    // is fresh, and its entries go.
    ReportPieces pieces(tree, options);
    if (!options.Files)
        read.FolderDone = [&pieces](TTreeEntry& folder, int depth) { pieces.FolderDone(folder, depth); };
    const SavedScanResult saved = ReadSavedScan(options.Path, tree, read);
    if (saved.Fault) {
        err << DescribeFault(options.Path, *saved.Fault) << '\n';
        return kReportExitBadPath;
    }
    // A file written without sizes on disk (no "dsize") has none to show:
    // all 0 would read as a plain, wrong answer.
    const TTreeEntry& root = *saved.Root;
    if (options.DiskUsage && root.Size() > 0 && root.Counts().DiskBytes == 0) {
        err << "tallowin: '" << EscapeForReport(options.Path)
            << "' holds no sizes on disk (\"dsize\"), so --disk-usage cannot be used with it\n";
        return kReportExitBadPath;
    }
    err << unreadableLines.str();
    const auto listFiles = [&saved](const TTreeEntry& folder) { return saved.Files->List(folder); };
    return PrintReport(tree, *saved.Root, options, listFiles, unreadable, out, err, &pieces);
}
