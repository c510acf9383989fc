// The sequential folder listing of Linux file systems.
//
// Protocol: as TFolderLister. Uses descriptor-relative calls only below the
// root (openat, getdents64, statx), so path length never limits the walk, and
// keeps at most kMaxOpenFolders folder descriptors open however deep it goes:
// a folder whose descriptor was closed is reopened from its nearest open
// ancestor, and checked to be the same folder, when it is needed again.
// Symbolic links are never followed below the root, and nothing but folders
// is ever opened. EnterRoot fixes the scan's route (sizetree/ScanRoute.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sizetree/FolderRead.h"
#include "sizetree/Listing.h"
#include "sizetree/ScanRoute.h"

class DirLister : public TFolderLister {
public:
    static constexpr int kMaxOpenFolders = 8;

    // useStatx false: fstatat only (what it falls back to where statx is refused).
    explicit DirLister(bool useStatx = true);
    ~DirLister() override;
    DirLister(const DirLister&) = delete;
    DirLister& operator=(const DirLister&) = delete;

    bool EnterRoot(const std::string& path, TFolderListing& listing) override;
    void SetOpenedRoot(int fd) override;
    bool Enter(const TSubfolder& sub, TFolderListing& listing) override;
    void Leave() override;

    // Folder descriptors open right now (for tests).
    int OpenFolderCount() const { return openCount_; }
    // Folders opened again after their descriptor was closed (for tests).
    int ReopenCount() const { return reopenCount_; }

private:
    struct Level {
        int Fd = -1;
        std::string Name;
        uint64_t Device = 0;
        uint64_t Inode = 0;
        const MountDir* Mounts = nullptr;  // null: no mount point at or below it
    };

    // 0, or why the folder entered last could not be opened again.
    uint8_t EnsureTopOpen();
    void CloseLevel(Level& level);
    void EnforceLimit();

    std::vector<Level> levels_;  // [0] the root, back() the folder entered last
    // Every level in [1, lowestOpen_) is closed: EnforceLimit starts there.
    size_t lowestOpen_ = 1;
    int openCount_ = 0;
    int reopenCount_ = 0;
    TListScratch scratch_;  // ListFolder's buffer and statx setting
    ScanRoute route_;       // the root's; levels point into its Mounts
    int openedRoot_ = -1;   // SetOpenedRoot's, until EnterRoot takes it
};
