// The one way to reach a scanned entry on disk after its scan: from the
// root's folder, opened by its path and checked to be the folder the scan
// listed, down name by name, each folder checked against the device and
// inode the tree recorded for it. Paths are for display only.
//
// Protocol: on the tree's thread, PlanWalk copies out of the tree what a
// walk needs (the root's path, the names as bytes, the recorded identities);
// OpenWalk may then run on any thread, any time later. It opens each step
// with openat (O_NOFOLLOW | O_DIRECTORY, and RESOLVE_NO_XDEV where the system
// has openat2, so a mount made since is not entered) and closes the folder
// above once the one below is open: any depth costs two descriptors at most,
// and no path length limits it. Nothing stays open but the descriptor it
// returns, which the caller owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sizetree/SizeTree.h"

// An open folder, closed when it goes.
class FolderFd {
public:
    FolderFd() = default;
    explicit FolderFd(int fd) : fd_(fd) {}
    ~FolderFd() { Reset(); }
    FolderFd(FolderFd&& other) noexcept : fd_(other.Release()) {}
    FolderFd& operator=(FolderFd&& other) noexcept;
    FolderFd(const FolderFd&) = delete;
    FolderFd& operator=(const FolderFd&) = delete;

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Hands the descriptor over; this one is then empty.
    int Release();
    void Reset(int fd = -1);

private:
    int fd_ = -1;
};

struct WalkStep {
    std::string Name;  // bytes as listed
    uint64_t Device = 0;
    uint64_t Inode = 0;
};

// The way from a root down to one folder, as the tree recorded it.
struct WalkPlan {
    std::string RootPath;  // as the scan opened it
    uint64_t RootDevice = 0;
    uint64_t RootInode = 0;
    std::vector<WalkStep> Steps;  // below the root, down to the folder

    // The path of the folder `depth` steps down (0: the root), for display.
    std::string PathAt(size_t depth) const;
    std::string Path() const { return PathAt(Steps.size()); }
};

// Why a walk stopped, and where.
struct WalkRefusal {
    size_t Depth = 0;  // the folder that failed: 0 the root, k Steps[k - 1]
    // errno of opening it; 0: something else is there now (another folder, a
    // link, a file, a mount).
    int Error = 0;
    bool Replaced() const { return Error == 0; }
};

struct WalkResult {
    FolderFd Folder;  // open when no refusal
    std::optional<WalkRefusal> Refusal;
};

// The folder entry that holds what `entry` stands for on disk: a folder
// entry itself (a root included), the folder of a FILES entry, of a listed
// file and of the smaller files' entry.
const TTreeEntry& FolderOf(const TTreeEntry& entry);

// The plan to reach `folder`, a folder entry (a root included).
WalkPlan PlanWalk(const TTreeEntry& folder);

// Opens the folder at the end of plan, every step checked.
WalkResult OpenWalk(const WalkPlan& plan);

// The entry `depth` steps below the root on the way to entry (0: its root),
// to name the folder a refusal means; entry itself when deeper.
const TTreeEntry& EntryAtDepth(const TTreeEntry& entry, size_t depth);
