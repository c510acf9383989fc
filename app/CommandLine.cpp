#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "savedscan/Export.h"
#include "savedscan/SavedReport.h"

namespace {

constexpr int kExitUsage = 2;
constexpr const char* kUsage =
    "usage: tallowin --report PATH [--by-name] [--depth N] [--files] [--disk-usage]";
constexpr const char* kExportUsage = "usage: tallowin --export FOLDER";
constexpr const char* kChangesUsage = "usage: tallowin --changes OLD NEW [--top N]";
constexpr const char* kTryHelp = "Try 'tallowin --help'.";

// The words before "--", where options are recognised.
std::vector<std::string> OptionWords(const std::vector<std::string>& args)
{
    return {args.begin(), std::find(args.begin(), args.end(), "--")};
}

bool Has(const std::vector<std::string>& words, const char* option)
{
    return std::find(words.begin(), words.end(), option) != words.end();
}

}  // namespace

const char* const kLauncherHelp =
    "Usage: tallowin [FOLDER]          open the window; scan FOLDER at once when given\n"
    "                                  (one that cannot be read: the window opens and says why)\n"
    "  or:  tallowin FILE              open the window with a saved scan\n"
    "  or:  tallowin --report PATH     print the size tree of PATH (a folder or a saved scan) as text,\n"
    "                                  largest first\n"
    "  or:  tallowin --export FOLDER   scan FOLDER and write it to standard output as a saved scan\n"
    "                                  (the common JSON export format; gzip or zstd it at will)\n"
    "  or:  tallowin --changes OLD NEW [--top N]\n"
    "                                  what changed from OLD to NEW, each a folder (scanned now) or a\n"
    "                                  saved scan: the folders whose size changed, largest change\n"
    "                                  first, new and removed ones with their whole size. A change\n"
    "                                  that rounds to 0 MB keeps its sign: \"+0 MB\" when it grew,\n"
    "                                  \"-0 MB\" when it shrank\n"
    "  or:  tallowin --timing FOLDER   scan FOLDER in the window, print its time and memory, quit\n"
    "  --by-name                       with --report: order each level by name\n"
    "  --by-size                       with --report: order each level by size (the default)\n"
    "  --depth N                       with --report: print N levels below PATH (0: PATH only)\n"
    "  --files                         with --report: list each folder's files under its [FILES] line\n"
    "  --disk-usage                    with --report: sizes on disk (blocks x 512, a hard-linked file\n"
    "                                  once; a saved scan's dsize) instead of apparent sizes\n"
    "  --top N                         with --changes: print at most N lines (default 20)\n"
    "  --no-history                    with the window: do not remember the scans of this run\n"
    "  --                              every later word is a folder, not an option\n"
    "  --help (or -h)                  print this help and end\n"
    "  --version                       print the version and end\n"
    "Reports and changes write numbers with \".\" whatever the locale (the C locale), as scripts\n"
    "expect; the window writes its status bar's figures in the user's locale.\n"
    "The window remembers the folder totals (no file names) of every finished scan, five per\n"
    "folder and 200 MB in all, in $XDG_STATE_HOME/tallowin/scans (~/.local/state/tallowin/scans\n"
    "when XDG_STATE_HOME is not set); remove that folder to forget them.\n"
    "Exit status: 0 success; 1 some folder could not be read (one line each on standard error,\n"
    "the rest reported), the output could not be written, or no display for the window; 2 bad\n"
    "arguments, a PATH that cannot be read or is no saved scan; 127 the window program is missing.\n";

LauncherOutcome RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<std::string> words = OptionWords(args);
    if (Has(words, "--help") || Has(words, "-h")) {
        out << kLauncherHelp;
        return {false, out.flush() ? 0 : 1};
    }
    if (Has(words, "--version")) {
        out << "tallowin " << TALLOWIN_VERSION << '\n';
        return {false, out.flush() ? 0 : 1};
    }
    if (IsExportInvocation(words) + IsReportInvocation(words) + IsChangesInvocation(words) > 1) {
        err << "tallowin: only one of --report, --export and --changes at a time. " << kTryHelp << '\n';
        return {false, kExitUsage};
    }
    if (IsChangesInvocation(words))
        return {false, ChangesMain(args, out, err)};
    if (IsExportInvocation(words))
        return {false, ExportMain(args, out, err)};
    if (IsReportInvocation(words))
        return {false, ReportMain(args, out, err)};
    for (const std::string& w : words) {
        if (w == "--timing" || w == "--no-history" || w.size() < 2 || w[0] != '-')
            continue;
        if (w == "--by-name" || w == "--by-size" || w == "--files" || w == "--disk-usage" || w == "--depth"
            || w.rfind("--depth=", 0) == 0)
            err << "tallowin: " << w << " goes with --report. " << kTryHelp << '\n';
        else if (w == "--top" || w.rfind("--top=", 0) == 0)
            err << "tallowin: " << w << " goes with --changes. " << kTryHelp << '\n';
        else
            err << "tallowin: unknown option '" << w << "'. " << kTryHelp << '\n';
        return {false, kExitUsage};
    }
    return {true, 0};
}

bool IsReportInvocation(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--report") != args.end();
}

std::optional<ReportOptions> ParseReportArgs(const std::vector<std::string>& args, std::ostream& err)
{
    ReportOptions parsed;
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
        } else if (!optionsEnded && a == "--files") {
            parsed.Files = true;
        } else if (!optionsEnded && a == "--disk-usage") {
            parsed.DiskUsage = true;
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
                err << "tallowin: --depth needs a whole number of 0 or more, not '" << value << "'\n";
                return std::nullopt;
            }
            parsed.Depth = depth;
        } else if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            err << "tallowin: unknown option '" << a << "'. " << kTryHelp << '\n';
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

int ReportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<ReportOptions> options = ParseReportArgs(args, err);
    if (!options)
        return kExitUsage;
    if (NamesSavedScan(options->Path))
        return RunSavedReport(*options, out, err);
    return RunReport(*options, out, err);
}

bool IsExportInvocation(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--export") != args.end();
}

int ExportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    ExportOptions options;
    options.ProgramVersion = TALLOWIN_VERSION;
    bool havePath = false;
    bool optionsEnded = false;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--export")
            continue;
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            err << "tallowin: " << a << " does not go with --export; " << kExportUsage << '\n';
            return kExitUsage;
        } else if (havePath) {
            err << "tallowin: more than one FOLDER given; " << kExportUsage << '\n';
            return kExitUsage;
        } else {
            options.Path = a;
            havePath = true;
        }
    }
    if (!havePath || options.Path.empty()) {
        err << "tallowin: no FOLDER given; " << kExportUsage << '\n';
        return kExitUsage;
    }
    return RunExport(options, out, err);
}

bool IsChangesInvocation(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--changes") != args.end();
}

std::optional<ChangesOptions> ParseChangesArgs(const std::vector<std::string>& args, std::ostream& err)
{
    ChangesOptions parsed;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--changes")
            continue;
        if (!optionsEnded && (a == "--top" || a.rfind("--top=", 0) == 0)) {
            std::string value;
            if (a == "--top") {
                if (i + 1 >= args.size()) {
                    err << "tallowin: --top needs a number; " << kChangesUsage << '\n';
                    return std::nullopt;
                }
                value = args[++i];
            } else {
                value = a.substr(6);
            }
            uint64_t top = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), top);
            if (ec != std::errc() || end != value.data() + value.size()) {
                err << "tallowin: --top needs a whole number of 0 or more, not '" << value << "'\n";
                return std::nullopt;
            }
            parsed.Top = static_cast<size_t>(top);
        } else if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            err << "tallowin: " << a << " does not go with --changes; " << kChangesUsage << '\n';
            return std::nullopt;
        } else {
            paths.push_back(a);
        }
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
        err << "tallowin: --changes needs OLD and NEW, two paths; " << kChangesUsage << '\n';
        return std::nullopt;
    }
    parsed.Old = paths[0];
    parsed.New = paths[1];
    return parsed;
}

int ChangesMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<ChangesOptions> options = ParseChangesArgs(args, err);
    if (!options)
        return kExitUsage;
    return RunChanges(*options, out, err);
}
