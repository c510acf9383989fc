#include "mounts/MountRoot.h"

#include <sys/stat.h>

bool IsMountRoot(const std::string& path)
{
    struct stat self;
    struct stat parent;
    if (stat(path.c_str(), &self) != 0 || stat((path + "/..").c_str(), &parent) != 0)
        return false;
    // "/" is its own parent.
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}
