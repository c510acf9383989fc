#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>

#include "savedscan/Export.h"
#include "savedscan/SavedReport.h"

namespace {

constexpr int kExitUsage = 2;
constexpr const char* kUsage = "usage: tallowin --report PATH [--by-name] [--depth N] [--files]";
constexpr const char* kExportUsage = "usage: tallowin --export FOLDER";
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
    "  or:  tallowin FILE              open the window with a saved scan\n"
    "  or:  tallowin --report PATH     print the size tree of PATH (a folder or a saved scan) as text,\n"
    "                                  largest first\n"
    "  or:  tallowin --export FOLDER   scan FOLDER and write it to standard output as a saved scan\n"
    "                                  (the common JSON export format; gzip or zstd it at will)\n"
    "  or:  tallowin --timing FOLDER   scan FOLDER in the window, print its time and memory, quit\n"
    "  --by-name                       with --report: order each level by name\n"
    "  --by-size                       with --report: order each level by size (the default)\n"
    "  --depth N                       with --report: print N levels below PATH (0: PATH only)\n"
    "  --files                         with --report: list each folder's files under its [FILES] line\n"
    "  --                              every later word is a folder, not an option\n"
    "  --help                          print this help and end\n"
    "  --version                       print the version and end\n";

LauncherOutcome RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::vector<std::string> words = OptionWords(args);
    if (Has(words, "--help")) {
        out << kLauncherHelp;
        return {false, out.flush() ? 0 : 1};
    }
    if (Has(words, "--version")) {
        out << "tallowin " << TALLOWIN_VERSION << '\n';
        return {false, out.flush() ? 0 : 1};
    }
    if (IsExportInvocation(words) && IsReportInvocation(words)) {
        err << "tallowin: --export and --report do not go together. " << kTryHelp << '\n';
        return {false, kExitUsage};
    }
    if (IsExportInvocation(words))
        return {false, ExportMain(args, out, err)};
    if (IsReportInvocation(words))
        return {false, ReportMain(args, out, err)};
    for (const std::string& w : words) {
        if (w == "--timing" || w.size() < 2 || w[0] != '-')
            continue;
        if (w == "--by-name" || w == "--by-size" || w == "--files" || w == "--depth"
            || w.rfind("--depth=", 0) == 0)
            err << "tallowin: " << w << " goes with --report. " << kTryHelp << '\n';
        else
            err << "tallowin: unknown option \"" << w << "\". " << kTryHelp << '\n';
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
                err << "tallowin: --depth needs a whole number of 0 or more, not \"" << value << "\"\n";
                return std::nullopt;
            }
            parsed.Depth = depth;
        } else if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            err << "tallowin: unknown option \"" << a << "\". " << kTryHelp << '\n';
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
