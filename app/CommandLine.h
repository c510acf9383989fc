// The launcher's command line, parsed without the window toolkit.
//
// Protocol: the launcher's main() calls RunCommandLine with the program's
// arguments after the program name, before any Qt object exists. It answers
// --help, --version, the report, the export and every refusal itself; only when it says
// so does main() hand the same arguments to the window program.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sizetree/Report.h"

struct LauncherOutcome {
    bool StartWindow = false;  // hand the arguments to the window program
    int Status = 0;            // the exit status otherwise
};

// Decides what the arguments ask for and does it, unless it is the window.
LauncherOutcome RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The --help text: every mode and option, one line each.
extern const char* const kLauncherHelp;

// True when the arguments ask for report mode.
bool IsReportInvocation(const std::vector<std::string>& args);

// `--report PATH [--by-name|--by-size] [--depth N] [--files] [--] ...`: the options, or
// nothing after writing one line to err.
std::optional<ReportOptions> ParseReportArgs(const std::vector<std::string>& args, std::ostream& err);

// Parses the report's arguments and runs it: 2 on bad arguments, else as
// RunReport, or RunSavedReport for a PATH that is no folder.
int ReportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// True when the arguments ask for the export.
bool IsExportInvocation(const std::vector<std::string>& args);
// `--export PATH [--]`: scans PATH and writes it to out as a saved scan; 2 on
// bad arguments, else as RunExport.
int ExportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
