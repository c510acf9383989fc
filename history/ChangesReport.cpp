#include "history/ChangesReport.h"

#include <ctime>
#include <future>
#include <optional>
#include <sstream>

#include "history/ChangeText.h"
#include "history/Comparison.h"
#include "history/SavedSnapshot.h"
#include "savedscan/SavedReport.h"
#include "sizetree/Listing.h"
#include "sizetree/Ordering.h"
#include "sizetree/Report.h"
#include "sizetree/ReportText.h"
#include "sizetree/Scan.h"

namespace {

// A snapshot of OLD or NEW, the lines of folders it could not read held
// back, or the one line that says why there is none.
struct Loaded {
    std::optional<FolderSnapshot> Snapshot;
    std::string Refusal;
    bool Unreadable = false;
};

Loaded LoadSaved(const std::string& file, std::ostream& unreadableLines)
{
    Loaded loaded;
    SavedSnapshot saved = SnapshotOfSavedScan(file, [&](const std::string& folder) {
        loaded.Unreadable = true;
        TellCannotRead(unreadableLines, folder, kReadWhenSaved);
    });
    if (saved.Fault)
        loaded.Refusal = DescribeFault(file, *saved.Fault) + '\n';
    loaded.Snapshot = std::move(saved.Snapshot);
    return loaded;
}

Loaded LoadFolder(const std::string& folder, std::ostream& unreadableLines)
{
    Loaded loaded;
    TSizeTree tree;
    tree.SetOnCompare(SortByName);
    TTreeEntry* root = tree.AddChildEntry(nullptr, folder, TNode{folder, 0, std::string()});
    TScanHooks hooks;
    hooks.ReadFailed = [&](const TTreeEntry& f) {
        loaded.Unreadable = true;
        TellCannotRead(unreadableLines, f.Path(), f.ReadError());
    };
    const int64_t start = static_cast<int64_t>(time(nullptr));
    ScanFolder(tree, root, hooks);
    loaded.Snapshot = SnapshotOfTree(*root, start);
    return loaded;
}

}  // namespace

int RunChanges(const ChangesOptions& options, std::ostream& out, std::ostream& err)
{
    // Both named things looked at before either is scanned or read.
    const bool oldSaved = NamesSavedScan(options.Old);
    const bool newSaved = NamesSavedScan(options.New);
    if ((!oldSaved && !CheckFolder(options.Old, err)) || (!newSaved && !CheckFolder(options.New, err)))
        return kReportExitBadPath;

    // Two saved scans are read side by side; folders are scanned one after
    // the other, so that two walks do not share the disk.
    std::ostringstream oldLines, newLines;
    std::future<Loaded> savedNow;
    if (oldSaved && newSaved)
        savedNow = std::async(std::launch::async, [&] { return LoadSaved(options.New, newLines); });
    Loaded then = oldSaved ? LoadSaved(options.Old, oldLines) : LoadFolder(options.Old, oldLines);
    if (!then.Snapshot) {
        err << then.Refusal;
        return kReportExitBadPath;
    }
    Loaded now = savedNow.valid() ? savedNow.get()
        : newSaved                ? LoadSaved(options.New, newLines)
                                  : LoadFolder(options.New, newLines);
    if (!now.Snapshot) {
        err << now.Refusal;
        return kReportExitBadPath;
    }
    err << oldLines.str() << newLines.str();

    CompareOptions compare;
    compare.Most = options.Top;
    TReportWriter writer(out);
    for (const FolderChange& change : CompareSnapshots(*then.Snapshot, *now.Snapshot, compare))
        writer.Line(0, SignedSizeFigure(change.Change(compare.Measure)) + "  " + change.Path);
    if (!writer.Flush()) {
        err << "tallowin: could not write the changes\n";
        return kReportExitWriteFailed;
    }
    return then.Unreadable || now.Unreadable ? kReportExitSomeUnreadable : 0;
}
