// TEMPORARY stand-in; replaced by the real report mode.
#include "sizetree/Report.h"

#include <algorithm>

bool IsReportInvocation(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--report") != args.end();
}

int ReportMain(const std::vector<std::string>&, std::ostream&, std::ostream& err)
{
    err << "tallowin: report mode is not built yet\n";
    return 2;
}
