#include "ScanHelpers.h"

#include <dirent.h>

int OpenDescriptorCount()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
        n -= 3;  // ".", ".." and the listing's own descriptor
    }
    return n;
}
