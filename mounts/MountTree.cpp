#include "mounts/MountTree.h"

#include <algorithm>

MountDir MountsBelow(const std::vector<MountEntry>& mounts, const std::string& rootPath)
{
    const std::string prefix = rootPath.empty() || rootPath.back() != '/' ? rootPath + "/" : rootPath;
    MountDir root;
    for (const MountEntry& mount : mounts) {
        const std::string& point = mount.MountPoint;
        if (point.size() <= prefix.size() || point.compare(0, prefix.size(), prefix) != 0)
            continue;
        MountDir* at = &root;
        for (size_t begin = prefix.size(); begin < point.size();) {
            const size_t slash = std::min(point.find('/', begin), point.size());
            if (slash > begin)
                at = &at->Below[point.substr(begin, slash - begin)];
            begin = slash + 1;
        }
    }
    return root;
}

const MountDir* MountDirBelow(const MountDir* dir, const std::string& name)
{
    if (!dir || dir->Everywhere)
        return dir;
    const auto it = dir->Below.find(name);
    return it == dir->Below.end() ? nullptr : &it->second;
}
