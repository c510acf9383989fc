// Reading a saved scan (the common JSON export format; savedscan/ScanWriter.h
// writes it) into the size tree, as if the folder it names had been scanned:
// the same entries, captions, order, FILES entries and counts. Sizes are
// those of files: folders' own sizes in the file are not counted, and a file
// with several links counts once, where it first appears.
//
// Protocol:
//   1. ReadSavedScan(file, tree, options) on any thread, with a tree no
//      other thread touches meanwhile (a fresh one, say, handed to the UI
//      thread afterwards): it adds one root entry, named as the file names
//      its root, and everything below, ordered with tree.OnCompare(). It
//      reads the file once, front to back, and checks all of it before it
//      returns; the text is parsed on a second thread of its own
//      (savedscan/ParseAhead.h), the tree built and the hooks called on the
//      calling one. On a fault (or a stop) it leaves the tree as it was and
//      returns the fault (ReadFailed may have been called before it was
//      found: a caller that prints those lines holds them until the end).
//   2. With options.IndexFiles, the result's Files lists a folder's files
//      from the file on demand: SavedFiles::List(folder), on any thread,
//      several at once, for as long as the folder entry exists. It keeps the
//      file open (a packed file: an unpacked copy in $TMPDIR, unnamed), and
//      about 40 bytes per folder with files, plus 16 per file with several
//      links; no file names.
// Folders the file marks unreadable get ReadError kReadWhenSaved.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "savedscan/ScanFault.h"
#include "savedscan/ScanInput.h"
#include "savedscan/ScanParser.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/SizeTree.h"

struct SavedScanOptions {
    bool IndexFiles = false;  // keep the way back to each folder's files
    // Asked once per folder, on the reading thread; true stops the reading.
    std::function<bool()> StopRequested;
    // Once per folder the file marks unreadable, in file order.
    std::function<void(const TTreeEntry& folder)> ReadFailed;
    // Once per folder below the root as it ends (sorted, captioned, its
    // totals added to its parent's), children before parents; depth 1 for
    // the root's children. It may delete the entries below the folder.
    std::function<void(TTreeEntry& folder, int depth)> FolderDone;
};

// A folder's files, read again from the saved scan's text.
class SavedFiles {
public:
    // folder: a folder entry of the tree read. Its files as the window and
    // the report list a folder's files (sizetree/LooseFiles.h): the `keep`
    // largest and their smaller rest; a link counted at an earlier place
    // shows size 0. Error EIO when the text can no longer be read as it was.
    LooseFileListing List(const TTreeEntry& folder, size_t keep = kListedFilesKept) const;

private:
    friend class SavedTreeBuilder;
    struct Run {
        uint64_t Offset = 0;  // of the first item of a run of items in one folder
        uint32_t Next = 0;    // the folder's next run; 0: none
    };
    struct FolderRuns {
        const TTreeEntry* Folder = nullptr;
        uint64_t Device = 0;  // as the file says it, for links
        uint32_t First = 0;   // index into runs_
    };
    std::unique_ptr<SavedText> text_;
    std::vector<Run> runs_;                                       // [0] unused
    std::vector<FolderRuns> folders_;                             // sorted by Folder
    std::unordered_map<FileId, uint64_t, FileIdHash> firstLink_;  // where each linked file counts
};

struct SavedScanResult {
    TTreeEntry* Root = nullptr;  // null on a fault
    std::optional<SavedScanFault> Fault;
    bool Stopped = false;
    ScanPacking Packing = ScanPacking::Plain;
    SavedHeader Header;                       // progname, progver, timestamp
    std::shared_ptr<const SavedFiles> Files;  // with IndexFiles
};

SavedScanResult ReadSavedScan(const std::string& file, TSizeTree& tree, const SavedScanOptions& options);
// The same from bytes in memory, which must outlive the result's Files.
SavedScanResult ReadSavedScanBytes(std::string_view bytes, TSizeTree& tree, const SavedScanOptions& options);
