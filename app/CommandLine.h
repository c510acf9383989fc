// The launcher's command line, parsed without the window toolkit.
//
// Protocol: the launcher's main() calls IsReportInvocation, then ReportMain,
// with the program's arguments after the program name, before any Qt object
// exists. ReportMain returns the exit status.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sizetree/Report.h"

// True when the arguments ask for report mode.
bool IsReportInvocation(const std::vector<std::string>& args);

// `--report PATH [--by-name|--by-size] [--depth N] [--] ...`: the options, or
// nothing after writing one line to err.
std::optional<ReportOptions> ParseReportArgs(const std::vector<std::string>& args, std::ostream& err);

// Parses the report's arguments and runs it: 2 on bad arguments, else as RunReport.
int ReportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
