// Headless report mode: `tallowin --report PATH [--by-name] [--depth N]`
// scans PATH with ScanFolder and prints the finished tree.
//
// Protocol: main() calls ReportMain before any Qt object exists, with the
// program's arguments after the program name. Returns the exit status: 0, 1
// when some folder could not be read (one line each on err, in scan order,
// the report on out unchanged) or the report could not be written, 2 for bad
// arguments or a PATH that is no readable folder.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// True when the arguments ask for report mode.
bool IsReportInvocation(const std::vector<std::string>& args);
int ReportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
