// The mounts a user can reach by path: what the drive chooser lists.
//
// Protocol: a pure function of the parsed table (MountTable.h); any thread.
#pragma once

#include <vector>

#include "mounts/MountTable.h"

// One entry per mount point, the topmost where mounts stack; mounts hidden by
// a later mount over one of their parents are dropped; ordered by mount path
// byte by byte.
std::vector<MountEntry> VisibleMounts(const std::vector<MountEntry>& entries);
