// The remembered scans: snapshots (history/FolderSnapshot.h) of finished
// scans, kept in files of their own (history/SnapshotFile.h) under
// $XDG_STATE_HOME/tallowin/scans/ (~/.local/state/tallowin/scans/ when the
// variable is unset or not an absolute path).
//
// Protocol: a ScanStore names a folder; Remember, List and Read may be
// called on any thread, several at once, also from several processes
// (Remember holds a lock on the folder while it writes and drops). Each
// call opens the folder afresh and reaches the files from it by name.
// Nothing throws: what failed comes back as data.
//
// Remember writes a temporary file, syncs it and renames it into place, so
// no partial file is ever seen under a final name; the folder and its
// parents are made (mode 0700) when missing, files have mode 0600. Then it
// drops the oldest scans (by their scan time) of the same root beyond
// Limits.PerRoot, and the oldest of all while the files take more than
// Limits.TotalBytes, never the one just written; a file that cannot be read
// counts as old as its modification time. Files not named as the store
// names them are left alone, and so are temporary files younger than an
// hour (another writer's). A scan whose file alone would take more than
// Limits.TotalBytes, or whose root path is longer than 4096 bytes, is not
// written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/FolderSnapshot.h"

struct StoreLimits {
    size_t PerRoot = 5;
    uint64_t TotalBytes = 200'000'000;
};

// A file of the store that was not used, and why.
struct SkippedScan {
    std::string File;  // its name in the folder
    std::string Reason;
};

// What failed: the step ("make folder", "write", "rename", ...), the file
// or folder, the error (errno; 0 with a Reason that says it).
struct StoreFailure {
    std::string Step;
    std::string Path;
    int Errno = 0;
    std::string Reason;
};

struct RememberResult {
    std::optional<StoreFailure> Failure;  // nothing written
    std::string File;                     // its name in the folder when written
    std::vector<std::string> Dropped;     // older files removed
    std::vector<StoreFailure> DropFailures;
};

struct RememberedScan {
    std::string File;  // its name in the folder
    std::string RootPath;
    int64_t ScanTime = 0;
    uint64_t Folders = 0;
    uint64_t Bytes = 0;  // of the file
};

struct RememberedList {
    std::vector<RememberedScan> Scans;  // newest first
    std::vector<SkippedScan> Skipped;
    std::optional<StoreFailure> Failure;  // the folder could not be read (missing is no failure)
};

struct RememberedRead {
    std::optional<FolderSnapshot> Snapshot;
    std::optional<StoreFailure> Failure;
};

class ScanStore {
public:
    explicit ScanStore(std::string folder, StoreLimits limits = {});

    // $XDG_STATE_HOME/tallowin/scans, or $HOME/.local/state/tallowin/scans
    // (the password database's home when HOME is unset); nothing when no
    // home is known.
    static std::optional<std::string> DefaultFolder();

    const std::string& Folder() const { return folder_; }

    RememberResult Remember(const FolderSnapshot& snapshot) const;
    // The readable scans of the root at rootPath (its bytes exactly).
    RememberedList List(const std::string& rootPath) const;
    RememberedRead Read(const std::string& file) const;

private:
    std::string folder_;
    StoreLimits limits_;
};
