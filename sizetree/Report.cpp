#include "sizetree/Report.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <sys/stat.h>

#include "sizetree/Ordering.h"
#include "sizetree/ReportText.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitWriteFailed = 1;
constexpr int kExitUnreadable = 1;  // some folder could not be read
constexpr const char* kUsage =
    "usage: tallowin --report PATH [--by-name] [--depth N]";

struct TReportArgs {
    std::string Path;
    bool ByName = false;
    int Depth = -1;  // -1: every level
};

// Parses the arguments; on failure writes one line to err.
std::optional<TReportArgs> ParseArgs(const std::vector<std::string>& args, std::ostream& err)
{
    TReportArgs parsed;
    bool havePath = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--report")
            continue;
        if (!optionsEnded && a == "--by-name") {
            parsed.ByName = true;
        } else if (!optionsEnded && a == "--by-size") {
            parsed.ByName = false;
        } else if (!optionsEnded && (a == "--depth" || a.rfind("--depth=", 0) == 0)) {
            std::string value;
            if (a == "--depth") {
                if (i + 1 >= args.size()) {
                    err << "tallowin: --depth needs a number; " << kUsage << '\n';
                    return std::nullopt;
                }
                value = args[++i];
            } else {
                value = a.substr(8);
            }
            int depth = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), depth);
            if (ec != std::errc() || end != value.data() + value.size() || depth < 0) {
                err << "tallowin: --depth needs a whole number of 0 or more, not \"" << value
                    << "\"\n";
                return std::nullopt;
            }
            parsed.Depth = depth;
        } else if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            err << "tallowin: unknown option \"" << a << "\"; " << kUsage << '\n';
            return std::nullopt;
        } else if (havePath) {
            err << "tallowin: more than one PATH given; " << kUsage << '\n';
            return std::nullopt;
        } else {
            parsed.Path = a;
            havePath = true;
        }
    }
    if (!havePath || parsed.Path.empty()) {
        err << "tallowin: no PATH given; " << kUsage << '\n';
        return std::nullopt;
    }
    return parsed;
}

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

bool IsReportInvocation(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--report") != args.end();
}

int ReportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<TReportArgs> parsed = ParseArgs(args, err);
    if (!parsed)
        return kExitUsage;
    if (!CheckFolder(parsed->Path, err))
        return kExitUsage;

    TSizeTree tree;
    tree.SetOnCompare(parsed->ByName ? SortByName : SortBySize);
    TTreeEntry* root = tree.AddChildEntry(nullptr, parsed->Path, TNode{parsed->Path, 0, std::string()});
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
    PrintTree(*root, parsed->Depth, writer);
    if (!writer.Flush()) {
        err << "tallowin: could not write the report\n";
        return kExitWriteFailed;
    }
    return unreadable ? kExitUnreadable : 0;
}
