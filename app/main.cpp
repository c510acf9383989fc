// Start-up of the program.
#include <cstdio>

int main()
{
    std::puts("Tallowin: the main window is not built yet.");
    return 0;
}
