// The folder listing behind ScanFolder: what the scan needs of each folder.
//
// Protocol: the scan calls EnterRoot once, then walks depth first: Enter(sub)
// for a subfolder of the folder entered last, Leave() when done with it.
// Every Enter/EnterRoot that returns true is matched by one Leave(); one that
// returns false enters nothing. A listing that fails midway is returned with
// what was read up to then (and Enter returns true). Listings name no files:
// files are reduced to a total and the few with several hard links.
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
    uint64_t Size = 0;      // bytes
    uint32_t Position = 0;  // number of subfolders listed before it
};

struct TFolderListing {
    std::vector<TSubfolder> Subfolders;  // in listing order
    uint64_t SingleLinkTotal = 0;        // bytes of all files with one link
    std::vector<TLinkedFile> LinkedFiles;  // in listing order

    void Clear()
    {
        Subfolders.clear();
        SingleLinkTotal = 0;
        LinkedFiles.clear();
    }
};

class TFolderLister {
public:
    virtual ~TFolderLister() = default;
    // Opens and lists the folder at path; false when it cannot be opened.
    virtual bool EnterRoot(const std::string& path, TFolderListing& listing) = 0;
    // Opens and lists a subfolder of the folder entered last.
    virtual bool Enter(const TSubfolder& sub, TFolderListing& listing) = 0;
    virtual void Leave() = 0;
    virtual bool RootReady(const std::string& /*path*/, std::chrono::nanoseconds /*limit*/)
    {
        return true;
    }
    virtual bool Ready(const TSubfolder& /*sub*/, std::chrono::nanoseconds /*limit*/) { return true; }
};
