// The folder listing behind ScanFolder: what the scan needs of each folder.
//
// Protocol: the scan calls EnterRoot once, then walks depth first: Enter(sub)
// for a subfolder of the folder entered last, Leave() when done with it.
// Every Enter/EnterRoot that returns true is matched by one Leave(); one that
// returns false enters nothing, and its listing's Error says why (0 when the
// lister was stopped or the subfolder is on another file system). A listing
// that fails midway is returned with what was read up to then, its Error set
// (and Enter returns true). Listings name no files unless asked to
// (FolderPlace::NameFiles, for the export): files are reduced to totals and
// the few with several hard links.
//
// A lister that lists on other threads may make Enter wait. Before an
// Enter/EnterRoot the scan may ask RootReady/Ready, as often as it likes,
// which wait at most `limit` and say whether the same Enter/EnterRoot would
// now return without waiting; between those calls the scan does its own
// work (events, stop). A lister on the calling thread is always ready.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Why a folder could not be read (fully): 0 none, else an errno value below
// kReadReplaced, or one of these codes. Stored in one byte.
inline constexpr uint8_t kReadReplaced = 250;   // not the folder listed: replaced meanwhile
inline constexpr uint8_t kReadAbandoned = 251;  // its listing was abandoned (an exception)
// A later look (a listing of its files) found another folder there, or a
// folder on its way that is no longer the one scanned.
inline constexpr uint8_t kReadChanged = 252;
inline constexpr uint8_t kReadWhenSaved = 253;  // a saved scan says it could not be read

// The code of an errno value (0 stays 0; values out of range give EIO).
uint8_t ReadErrorOfErrno(int err);
// The reason in English, as the report prints it ("Permission denied").
const char* ReadErrorText(uint8_t code);

struct TSubfolder {
    std::string Name;  // bytes as listed
    uint64_t Device = 0;
    uint64_t Inode = 0;
    // On another file system (another device, a mount root or an automount
    // point): shown with size 0, never entered.
    bool OtherFileSystem = false;
};

// A file with more than one link: counted once per scan, where the depth-first
// walk meets it first.
struct TLinkedFile {
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Size = 0;       // bytes
    uint64_t DiskBytes = 0;  // st_blocks x 512
    uint32_t Position = 0;   // number of subfolders listed before it
};

// A file (anything but a folder) as listed, for a listing asked to name its
// files. Sizes 0 when it could not be looked at.
struct TListedFile {
    std::string Name;        // bytes as listed
    uint64_t Size = 0;       // bytes
    uint64_t DiskBytes = 0;  // st_blocks x 512
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Links = 0;
    uint32_t Position = 0;  // number of subfolders listed before it
};

struct TFolderListing {
    std::vector<TSubfolder> Subfolders;    // in listing order
    uint64_t SingleLinkTotal = 0;          // bytes of all files with one link
    uint64_t SingleLinkDiskBytes = 0;      // their blocks x 512
    uint32_t SingleLinkFiles = 0;          // how many (names that could not be looked at too)
    std::vector<TLinkedFile> LinkedFiles;  // in listing order
    uint8_t Error = 0;                     // see kReadReplaced
    std::vector<TListedFile> Files;        // with FolderPlace::NameFiles only: every file, in listing order

    void Clear()
    {
        Files.clear();
        Subfolders.clear();
        SingleLinkTotal = 0;
        SingleLinkDiskBytes = 0;
        SingleLinkFiles = 0;
        LinkedFiles.clear();
        Error = 0;
    }
};

class TFolderLister {
public:
    virtual ~TFolderLister() = default;
    // Opens and lists the folder at path; false when it cannot be opened.
    virtual bool EnterRoot(const std::string& path, TFolderListing& listing) = 0;
    // Before RootReady/EnterRoot: the root is the open folder fd (reached
    // and checked by the caller, sizetree/EntryWalk.h), not opened by its
    // path, which then only names it. The lister owns fd from here on.
    virtual void SetOpenedRoot(int fd) = 0;
    // Opens and lists a subfolder of the folder entered last.
    virtual bool Enter(const TSubfolder& sub, TFolderListing& listing) = 0;
    virtual void Leave() = 0;
    virtual bool RootReady(const std::string& /*path*/, std::chrono::nanoseconds /*limit*/) { return true; }
    virtual bool Ready(const TSubfolder& /*sub*/, std::chrono::nanoseconds /*limit*/) { return true; }
};
