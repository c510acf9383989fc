#include "mounts/VisibleMounts.h"

#include <map>
#include <string>

std::vector<MountEntry> VisibleMounts(const std::vector<MountEntry>& entries)
{
    // The topmost mount at a point is the last one that no other mount at the
    // same point sits on.
    std::map<std::string, std::size_t> topmost;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MountEntry& e = entries[i];
        auto it = topmost.find(e.MountPoint);
        if (it == topmost.end()) {
            topmost.emplace(e.MountPoint, i);
            continue;
        }
        const MountEntry& held = entries[it->second];
        if (held.ParentId != e.Id)
            it->second = i;  // e is not underneath the one held
    }
    std::map<int, std::size_t> byId;
    for (std::size_t i = 0; i < entries.size(); ++i)
        byId.emplace(entries[i].Id, i);

    // A mount is reachable when it is topmost and so is every mount above it
    // up to the root; a mount over a parent hides what was mounted below it.
    auto reachable = [&](std::size_t i) {
        bool stacked = false;  // reached from a mount stacked on this one
        for (std::size_t steps = 0; steps <= entries.size(); ++steps) {
            const MountEntry& e = entries[i];
            if (!stacked && topmost.at(e.MountPoint) != i)
                return false;
            const auto parent = byId.find(e.ParentId);
            if (parent == byId.end() || parent->second == i)
                return true;
            stacked = entries[parent->second].MountPoint == e.MountPoint;
            i = parent->second;
        }
        return false;  // a cycle in a corrupt table
    };

    std::vector<MountEntry> out;
    for (const auto& [point, index] : topmost)
        if (reachable(index))
            out.push_back(entries[index]);
    // std::map orders std::string keys byte by byte already.
    return out;
}
