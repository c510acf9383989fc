#include "savedscan/Export.h"

#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "savedscan/ExportLister.h"
#include "sizetree/Report.h"
#include "sizetree/ReportText.h"
#include "sizetree/Scan.h"

namespace {

bool HasDotParts(const std::string& path)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string_view part(path.data() + start, end - start);
        if (part == "." || part == "..")
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::string ExportRootName(const std::string& path)
{
    if (!path.empty() && path[0] == '/' && !HasDotParts(path))
        return path;
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

int RunExport(const ExportOptions& options, std::ostream& out, std::ostream& err)
{
    if (!CheckFolder(options.Path, err))
        return kReportExitBadPath;
    const std::string rootName = ExportRootName(options.Path);
    if (rootName.empty()) {
        err << "tallowin: cannot tell the absolute path of '" << EscapeForReport(options.Path) << "'\n";
        return kReportExitBadPath;
    }
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, options.Path, TNode{options.Path, 0, std::string()});
    ScanWriter writer(out);
    bool unreadable = false;
    TScanHooks hooks;
    hooks.ReadFailed = [&](const TTreeEntry& folder) {
        unreadable = true;
        TellCannotRead(err, folder.Path(), folder.ReadError());
    };
    hooks.StopRequested = [&writer] { return writer.Failed(); };  // nobody reads the rest
    writer.Begin(options.ProgramVersion, static_cast<int64_t>(std::time(nullptr)));
    {
        ReadAheadLister disk(ExportReadAheadOptions());
        ExportLister lister(disk, writer, rootName);
        ScanFolderWith(tree, root, hooks, lister);
    }
    if (!writer.End()) {
        err << "tallowin: could not write the export\n";
        return kReportExitWriteFailed;
    }
    return unreadable ? kReportExitSomeUnreadable : 0;
}
