// The mount points below a scan's root, as a tree of folder names: the
// folders whose subfolders a listing must look at one by one, since one of
// them may be a mount point (another file system, or this one bound again).
//
// Protocol: MountsBelow builds the tree once per scan, from the parsed mount
// table (MountTable.h) and the root's path as the kernel names it; the
// listers then walk it down with MountDirBelow, name by name, beside the
// folders they open. The tree never changes after that; any thread may read
// it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "mounts/MountTable.h"

struct MountDir {
    // This folder and every one below it: the listing cannot rely on the
    // folder's records.
    bool Everywhere = false;
    std::map<std::string, MountDir> Below;  // subfolders at or on the way to a mount point
};

// Whether the listing of the folder whose node is dir (null: none) must look
// at each subfolder.
inline bool LooksAtSubfolders(const MountDir* dir)
{
    return dir && (dir->Everywhere || !dir->Below.empty());
}

// The tree of the mount points strictly below rootPath (absolute, no "." or
// ".." parts, as the kernel names an open folder), hidden mounts included.
MountDir MountsBelow(const std::vector<MountEntry>& mounts, const std::string& rootPath);

// The node of subfolder `name` of the folder whose node is dir; null when no
// mount point lies at or below it (always, when dir is null).
const MountDir* MountDirBelow(const MountDir* dir, const std::string& name);
