// One folder's open and list steps, shared by the listers.
//
// Protocol: plain functions with no state of their own; any thread may call
// them at the same time on different descriptors. The caller owns every
// descriptor they return and closes it.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <sys/types.h>

#include "sizetree/Listing.h"

// Opens a root folder by path (a symbolic link to a folder is followed, as
// the user named it); -1 on failure, errno saying why.
int OpenRootFolder(const std::string& path);

// Opens the subfolder `name` of the folder parentFd without following links;
// -1 on failure, errno saying why. noCrossing: with openat2, refusing a
// folder that is a mount point (EXDEV).
int OpenSubfolder(int parentFd, const std::string& name, bool noCrossing);

// The read error of a subfolder that could not be opened: none for a mount
// point refused by noCrossing (another file system, never entered).
uint8_t ReadErrorOfOpen(int err);

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

// What a listing learns of one name, links not followed.
struct NameLook {
    bool IsFolder = false;
    bool OtherFileSystemRoot = false;  // a mount root or an automount point
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Size = 0;       // bytes
    uint64_t DiskBytes = 0;  // blocks x 512
    uint64_t Links = 0;
};

// Looks at `name` in the open folder fd (statx, or fstatat once the system
// refuses statx); false when it cannot, errno saying why.
bool LookAtName(int fd, const char* name, NameLook& look, TListScratch& scratch);

// Reads the next records of fd into buffer (grown to 64 KiB): their bytes,
// 0 at the end, -1 with errno on failure.
ssize_t ReadNameRecords(int fd, std::vector<char>& buffer);

// Calls visit(name, type, inode) for every name of `bytes` bytes of records
// but "." and ".." (type: a DT_ value, DT_UNKNOWN when the file system does
// not say; inode as the folder records it).
template <typename Visit> void ForEachRecord(const char* records, size_t bytes, Visit&& visit)
{
    // The kernel's getdents64 record: inode, offset, length, type, name.
    constexpr size_t kLengthAt = 16;
    constexpr size_t kTypeAt = 18;
    constexpr size_t kNameAt = 19;
    for (size_t pos = 0; pos < bytes;) {
        const char* record = records + pos;
        unsigned short length = 0;
        uint64_t inode = 0;
        std::memcpy(&length, record + kLengthAt, sizeof length);
        std::memcpy(&inode, record, sizeof inode);
        pos += length;
        const char* name = record + kNameAt;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        visit(name, static_cast<unsigned char>(record[kTypeAt]), inode);
    }
}

// The same for every name of the open folder fd. Returns 0, or the read
// error code of a listing that failed midway.
template <typename Visit> uint8_t ForEachName(int fd, TListScratch& scratch, Visit&& visit)
{
    for (;;) {
        const ssize_t got = ReadNameRecords(fd, scratch.Buffer);
        if (got < 0)
            return ReadErrorOfErrno(errno);
        if (got == 0)
            return 0;
        ForEachRecord(scratch.Buffer.data(), static_cast<size_t>(got), visit);
    }
}

// Where a folder lies, as its listing needs to know.
struct FolderPlace {
    uint64_t Device = 0;
    // False: a subfolder is taken as its record names it (see ScanRoute.h),
    // on Device; files and names of unknown type are still looked at.
    bool LookAtSubfolders = true;
    // Also keep every file in listing.Files (the export); off, the listing
    // runs the code it runs without this field.
    bool NameFiles = false;
};

// Appends the entries of the open folder fd to listing: subfolders in
// listing order, files reduced to the single-link total and the linked
// files (and, with place.NameFiles, every file named in listing.Files). A
// listing that fails midway keeps what was read, and its Error says
// why; so does a name that cannot be looked at (but one that vanished
// meanwhile), since its size is then missing.
void ListFolder(int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch);
