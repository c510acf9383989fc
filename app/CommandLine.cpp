#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr int kExitUsage = 2;
constexpr const char* kUsage = "usage: tallowin --report PATH [--by-name] [--depth N]";

}  // namespace

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

int ReportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<ReportOptions> options = ParseReportArgs(args, err);
    if (!options)
        return kExitUsage;
    return RunReport(*options, out, err);
}
