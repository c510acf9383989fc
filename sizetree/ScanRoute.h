// How a scan reaches and lists its folders, fixed when its root is opened.
//
// Protocol: the lister that opens the root calls RouteOf once, on that
// thread, before it lists the root; the route then never changes, and every
// thread of the scan reads it freely.
//
// A listing learns what its subfolders are from the folder's records
// (getdents64: name, type, inode) where the file system's records can be
// relied on: ext2/3/4, XFS and tmpfs, where a folder listed as a folder, with
// the inode it lists, is that folder on this file system unless it is a mount
// point, and where no folder is an automount point or a device of its own. A
// mount point it still looks at (statx), in the folders the mount table
// names. A mount made during the scan is refused when the folder is opened
// (openat2 with RESOLVE_NO_XDEV), never entered. Elsewhere, or where openat2
// or the mount table cannot be had, it looks at every subfolder.
#pragma once

#include "mounts/MountTree.h"

struct ScanRoute {
    // Subfolders are opened with openat2(RESOLVE_NO_XDEV): one that has
    // become a mount point fails with EXDEV.
    bool NoCrossing = false;
    MountDir Mounts;  // the root's node
};

// The route of a scan of the open folder rootFd.
ScanRoute RouteOf(int rootFd);
