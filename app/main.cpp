// Start-up of the program.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "sizetree/Report.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (IsReportInvocation(args))
        return ReportMain(args, std::cout, std::cerr);
    std::puts("Tallowin: the main window is not built yet.");
    return 0;
}
