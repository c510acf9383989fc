#include "sizetree/Report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "sizetree/Ordering.h"
#include "sizetree/ReportText.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

namespace {

// True when path names a folder this process can list; else says why on err.
bool CheckFolder(const std::string& path, std::ostream& err)
{
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        close(fd);
        return true;
    }
    const int e = errno;
    const char* why = e == ENOTDIR ? "not a folder" : std::strerror(e);
    err << "tallowin: cannot read folder \"" << EscapeForReport(path) << "\": " << why << '\n';
    return false;
}

// Prints root and its descendants, depth first in tree order.
void PrintTree(const TTreeEntry& root, int maxDepth, TReportWriter& out)
{
    out.Line(0, root.Path());
    struct TLevel {
        const TTreeEntry* Entry;
        int Next;
    };
    std::vector<TLevel> stack{{&root, 0}};
    while (!stack.empty()) {
        TLevel& top = stack.back();
        const int depth = static_cast<int>(stack.size());  // of top's children
        if ((maxDepth >= 0 && depth > maxDepth) || top.Next >= top.Entry->ChildCount()) {
            stack.pop_back();
            continue;
        }
        const TTreeEntry* child = top.Entry->ChildAt(top.Next++);
        out.Line(depth, child->Caption());
        if (child->ChildCount() > 0)
            stack.push_back({child, 0});
    }
}

}  // namespace

int RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    if (!CheckFolder(options.Path, err))
        return kReportExitBadPath;

    TSizeTree tree;
    tree.SetOnCompare(options.ByName ? SortByName : SortBySize);
    TTreeEntry* root = tree.AddChildEntry(nullptr, options.Path, TNode{options.Path, 0, std::string()});
    // As each folder that cannot be read is met: one line, as other disk
    // usage tools write it; the report still lists everything else.
    bool unreadable = false;
    TScanHooks hooks;
    hooks.ReadFailed = [&](const TTreeEntry& folder) {
        unreadable = true;
        err << "tallowin: cannot read '" << EscapeForReport(folder.Path())
            << "': " << ReadErrorText(folder.ReadError()) << '\n';
    };
    ScanFolder(tree, root, hooks);

    TReportWriter writer(out);
    PrintTree(*root, options.Depth, writer);
    if (!writer.Flush()) {
        err << "tallowin: could not write the report\n";
        return kReportExitWriteFailed;
    }
    return unreadable ? kReportExitSomeUnreadable : 0;
}
