#include "sizetree/Report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "sizetree/EntryWalk.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/Ordering.h"
#include "sizetree/ReportText.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

bool CheckFolder(const std::string& path, std::ostream& err)
{
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        close(fd);
        return true;
    }
    const int e = errno;
    const char* why = e == ENOTDIR ? "not a folder" : std::strerror(e);
    err << "tallowin: cannot read folder '" << EscapeForReport(path) << "': " << why << '\n';
    return false;
}

void TellCannotRead(std::ostream& err, const std::string& path, uint8_t code)
{
    err << "tallowin: cannot read '" << EscapeForReport(path) << "': " << ReadErrorText(code) << '\n';
}

namespace {

// Prints root and its descendants, depth first in tree order; with `files`,
// lists each FILES entry's files when its line is printed and drops them
// after. False when some FILES entry's folder could not be listed (one line
// each on err).
bool PrintTree(TSizeTree& tree, TTreeEntry& root, const ReportOptions& options,
               const FolderFilesLister& listFiles, TReportWriter& out, std::ostream& err)
{
    bool listedAll = true;
    out.Line(0, root.Path());
    struct TLevel {
        TTreeEntry* Entry;
        int Next;
    };
    const int maxDepth = options.Depth;
    std::vector<TLevel> stack{{&root, 0}};
    while (!stack.empty()) {
        TLevel& top = stack.back();
        const int depth = static_cast<int>(stack.size());  // of top's children
        if ((maxDepth >= 0 && depth > maxDepth) || top.Next >= top.Entry->ChildCount()) {
            TTreeEntry* done = top.Entry;
            stack.pop_back();
            while (done->IsFiles() && done->ChildCount() > 0)  // listed files: printed, not kept
                tree.DeleteEntry(done->ChildAt(done->ChildCount() - 1));
            continue;
        }
        TTreeEntry* child = top.Entry->ChildAt(top.Next++);
        out.Line(depth, child->Caption());
        if (options.Files && child->IsFiles() && (maxDepth < 0 || depth < maxDepth)) {
            // The folder's files as the scan counted them: other links' names at 0.
            const TTreeEntry* folder = child->Parent();
            LooseFileListing listing = listFiles(*folder);
            if (listing.Error) {
                // A walk that refused names the folder that changed.
                listedAll = false;
                TellCannotRead(err,
                               listing.Refusal ? EntryAtDepth(*folder, listing.Refusal->Depth).Path()
                                               : folder->Path(),
                               listing.Error);
            } else {
                AddListedFiles(tree, child, listing);
            }
        }
        if (child->ChildCount() > 0)
            stack.push_back({child, 0});
    }
    return listedAll;
}

}  // namespace

int RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    if (!CheckFolder(options.Path, err))
        return kReportExitBadPath;

    TSizeTree tree;
    PrepareReportTree(tree, options);
    TTreeEntry* root = tree.AddChildEntry(nullptr, options.Path, TNode{options.Path, 0, std::string()});
    // As each folder that cannot be read is met: one line, as other disk
    // usage tools write it; the report still lists everything else.
    bool unreadable = false;
    TScanHooks hooks;
    hooks.ReadFailed = [&](const TTreeEntry& folder) {
        unreadable = true;
        TellCannotRead(err, folder.Path(), folder.ReadError());
    };
    LinkLedger ledger;
    ScanFolder(tree, root, hooks, ledger);
    const auto listFiles = [&ledger](const TTreeEntry& folder) {
        return ListLooseFilesAt(PlanWalk(folder), LinksCountedElsewhere(ledger, &folder));
    };
    return PrintReport(tree, *root, options, listFiles, unreadable, out, err);
}

void PrepareReportTree(TSizeTree& tree, const ReportOptions& options)
{
    const SizeKind kind = options.DiskUsage ? SizeKind::Disk : SizeKind::Apparent;
    tree.SetShown(kind);
    tree.SetOnCompare(OrderFor(options.ByName ? SortByName : SortBySize, kind));
}

int PrintReport(TSizeTree& tree, TTreeEntry& root, const ReportOptions& options,
                const FolderFilesLister& listFiles, bool unreadable, std::ostream& out, std::ostream& err)
{
    TReportWriter writer(out);
    if (!PrintTree(tree, root, options, listFiles, writer, err))
        unreadable = true;
    if (!writer.Flush()) {
        err << "tallowin: could not write the report\n";
        return kReportExitWriteFailed;
    }
    return unreadable ? kReportExitSomeUnreadable : 0;
}
