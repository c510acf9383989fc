// The export's listing: a folder lister that hands the scan what another
// lister lists and, as the scan walks, writes every folder, file and mount
// point to a ScanWriter in the order met.
//
// Protocol: as TFolderLister, for one scan (ScanFolderWith) on one thread.
// The inner lister must name files (FolderPlace::NameFiles; see
// ExportReadAheadOptions). Each folder's files are written at their listed
// places between its subfolders, so a file with several links is written
// first where the scan counts it. The writer's Begin comes before the scan
// and its End after it; the lister writes the root folder and everything in
// it. A scan that stops early leaves the folders open (the file is cut short).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "savedscan/ScanWriter.h"
#include "sizetree/Listing.h"
#include "sizetree/ReadAheadLister.h"

// Read-ahead options whose listings name every file.
ReadAheadOptions ExportReadAheadOptions();

class ExportLister : public TFolderLister {
public:
    // rootName: what the file calls the root (its absolute path).
    ExportLister(TFolderLister& inner, ScanWriter& writer, std::string rootName);

    bool EnterRoot(const std::string& path, TFolderListing& listing) override;
    void SetOpenedRoot(int fd) override { inner_.SetOpenedRoot(fd); }
    bool Enter(const TSubfolder& sub, TFolderListing& listing) override;
    void Leave() override;
    bool RootReady(const std::string& path, std::chrono::nanoseconds limit) override;
    bool Ready(const TSubfolder& sub, std::chrono::nanoseconds limit) override;

private:
    // A folder written and not yet closed; its listing is the scan's, alive
    // until the scan leaves it.
    struct Open {
        const TFolderListing* Listing = nullptr;
        uint64_t Device = 0;
        size_t NextFile = 0;
        size_t NextSubfolder = 0;
    };

    // Writes the top folder's items before subfolder `end` (its files up to
    // there, and subfolders passed over, which are on other file systems).
    void WriteUpTo(Open& top, size_t end);
    void WriteFilesBefore(Open& top, size_t subfolder);
    void WriteOpened(const std::string& name, const TFolderListing& listing, uint64_t device, bool hasDevice);

    TFolderLister& inner_;
    ScanWriter& writer_;
    std::string rootName_;
    std::vector<Open> open_;
};
