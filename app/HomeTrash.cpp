#include "app/HomeTrash.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

std::string EnsureHomeTrash(const std::string& dataHome)
{
    if (dataHome.empty() || dataHome.front() != '/')
        return "no data folder for the trash";
    // Each step of the path, so a missing $XDG_DATA_HOME is made too.
    const std::string trash = dataHome + "/Trash";
    for (const std::string& target : {trash + "/files", trash + "/info"}) {
        for (size_t end = 1; end <= target.size(); ++end) {
            if (end != target.size() && target[end] != '/')
                continue;
            const std::string path = target.substr(0, end);
            struct stat st;
            if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
                return path + ": " + std::strerror(errno);
            if (stat(path.c_str(), &st) != 0)
                return path + ": " + std::strerror(errno);
            if (!S_ISDIR(st.st_mode))
                return path + ": " + std::strerror(ENOTDIR);
        }
    }
    return "";
}
