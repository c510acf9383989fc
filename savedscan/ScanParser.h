// The shape of a saved scan, read front to back without recursion:
// [MAJOR, MINOR, {METADATA}, [{ROOT}, ITEM or [FOLDER] ...]]. Each folder is
// an array whose first element is its info object; every further element is
// a subfolder (an array) or an item (an object: a file, or a folder not
// entered). Fields this reader does not know are skipped.
//
// Protocol: ParseSavedScan calls the sink's Header once, then FolderBegin,
// Files, Item and FolderEnd in the order of the text, on the calling thread;
// a fault throws SavedScanFailure (the sink may throw it too, to stop).
// Plain files (not excluded, one link) that follow one another come as one
// Files call with their sums, made before the next other call; every other
// item comes to Item.
// ParseItemRun reads the items that follow one another in one folder from
// a given offset on, for listing that folder's files again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "savedscan/JsonCursor.h"

// What an excluded item is.
enum class ExcludedAs : uint8_t {
    None,
    Folder,  // another file system, a kernel file system, a firm link: a folder not entered
    Other,   // left out by a pattern (a file or a folder: not known)
};

// One info object. Numbers absent are 0.
struct SavedItem {
    std::string Name;
    uint64_t Size = 0;       // asize
    uint64_t DiskBytes = 0;  // dsize
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Links = 0;
    bool HasDevice = false;
    bool HasInode = false;
    bool LinkFlag = false;  // hlnkc
    bool ReadError = false;
    ExcludedAs Excluded = ExcludedAs::None;

    // Counted once per device and inode.
    bool SeveralLinks() const { return HasInode && (LinkFlag || Links > 1); }
};

// Plain files that follow one another in a folder, summed (saturating).
struct SavedFileRun {
    uint64_t Offset = 0;  // of the first one's opening brace
    uint64_t Size = 0;
    uint64_t DiskBytes = 0;
    uint32_t Files = 0;
};

struct SavedHeader {
    uint64_t Minor = 0;
    std::string ProgramName;
    std::string ProgramVersion;
    bool HasTimestamp = false;
    int64_t Timestamp = 0;  // Unix seconds
};

class SavedScanSink {
public:
    virtual ~SavedScanSink() = default;
    // Where the parser reads the next info object into, the same until
    // the FolderBegin or Item call that hands it over.
    virtual SavedItem& Slot() { return slot_; }
    virtual void Header(const SavedHeader& header) = 0;
    // offset: of the item's or folder's opening bracket.
    virtual void FolderBegin(const SavedItem& info, uint64_t offset) = 0;
    // Plain files that follow one another, summed.
    virtual void Files(const SavedFileRun& run) = 0;
    // An item that is no plain file: several links, or excluded.
    virtual void Item(const SavedItem& item, uint64_t offset) = 0;
    virtual void FolderEnd() = 0;

private:
    SavedItem slot_;
};

inline constexpr uint32_t kMostFolderLevels = 100000;  // below the root

void ParseSavedScan(JsonCursor& in, SavedScanSink& sink);

// Reads the items at offset on (the cursor placed there), up to the next
// subfolder or the folder's end, calling each(item, offset).
void ParseItemRun(JsonCursor& in, const std::function<void(const SavedItem&, uint64_t)>& each);
