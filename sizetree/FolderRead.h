// One folder's open and list steps, shared by the listers.
//
// Protocol: plain functions with no state of their own; any thread may call
// them at the same time on different descriptors. The caller owns every
// descriptor they return and closes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sizetree/Listing.h"

// Opens a root folder by path (a symbolic link to a folder is followed, as
// the user named it); -1 on failure, errno saying why.
int OpenRootFolder(const std::string& path);

// Opens the subfolder `name` of the folder parentFd without following links;
// -1 on failure, errno saying why.
int OpenSubfolder(int parentFd, const std::string& name);

// True when fd is a folder with that device and inode.
bool IsFolder(int fd, uint64_t device, uint64_t inode);

// Device and inode of an open folder; false when fstat fails or it is not a
// folder (errno ENOTDIR).
bool FolderIdentity(int fd, uint64_t& device, uint64_t& inode);

// What ListFolder keeps from one call to the next on one thread.
struct TListScratch {
    std::vector<char> Buffer;  // getdents64 records; grown to 64 KiB
    bool UseStatx = true;      // off once the system refuses statx: fstatat
};

// Appends the entries of the open folder fd (on `device`) to listing:
// subfolders in listing order, files reduced to the single-link total and the
// linked files. A listing that fails midway keeps what was read, and its
// Error says why; so does a name that cannot be looked at (but one that
// vanished meanwhile), since its size is then missing.
void ListFolder(int fd, uint64_t device, TFolderListing& listing, TListScratch& scratch);
