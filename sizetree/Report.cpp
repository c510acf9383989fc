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
#include "sizetree/ReportWalk.h"
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

class StreamLines : public ReportLines {
public:
    explicit StreamLines(TReportWriter& writer) : writer_(writer) {}
    void Line(int level, std::string_view caption) override { writer_.Line(level, caption); }
    void Text(ReportText&& text) override
    {
        for (const std::string& piece : text.Pieces)
            writer_.Text(piece);
    }

private:
    TReportWriter& writer_;
};

}  // namespace

bool PrintBelow(TSizeTree& tree, TTreeEntry& top, int topDepth, const ReportOptions& options,
                const FolderFilesLister* listFiles, ReportPieces* pieces, ReportLines& out, std::ostream& err)
{
    bool listedAll = true;
    struct TLevel {
        TTreeEntry* Entry;
        int Next;
    };
    const int maxDepth = options.Depth;
    std::vector<TLevel> stack{{&top, 0}};
    ReportText kept;
    while (!stack.empty()) {
        TLevel& level = stack.back();
        const int depth = topDepth + static_cast<int>(stack.size());  // of level's children
        if ((maxDepth >= 0 && depth > maxDepth) || level.Next >= level.Entry->ChildCount()) {
            TTreeEntry* done = level.Entry;
            stack.pop_back();
            while (done->IsFiles() && done->ChildCount() > 0)  // listed files: printed, not kept
                tree.DeleteEntry(done->ChildAt(done->ChildCount() - 1));
            continue;
        }
        TTreeEntry* child = level.Entry->ChildAt(level.Next++);
        if (pieces && pieces->Take(*child, kept)) {
            out.Text(std::move(kept));
            continue;
        }
        out.Line(depth, child->Caption());
        if (listFiles && child->IsFiles() && (maxDepth < 0 || depth < maxDepth)) {
            // The folder's files as the scan counted them: other links' names at 0.
            const TTreeEntry* folder = child->Parent();
            LooseFileListing listing = (*listFiles)(*folder);
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
                const FolderFilesLister& listFiles, bool unreadable, std::ostream& out, std::ostream& err,
                ReportPieces* pieces)
{
    TReportWriter writer(out);
    writer.Line(0, root.Path());
    StreamLines lines(writer);
    if (!PrintBelow(tree, root, 0, options, options.Files ? &listFiles : nullptr, pieces, lines, err))
        unreadable = true;
    if (!writer.Flush()) {
        err << "tallowin: could not write the report\n";
        return kReportExitWriteFailed;
    }
    return unreadable ? kReportExitSomeUnreadable : 0;
}
