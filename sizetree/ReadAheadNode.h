// The read-ahead lister's record of one folder and a worker's way to it.
//
// Protocol: private to ReadAheadLister.cpp and ReadAheadWorkers.cpp; every
// field is guarded by the lister's mutex, except Parent, Name, Device, Inode,
// Depth, Index and Mounts of a child node, which never change once it is
// made. Nodes live in the lister's list and go when their references do.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "sizetree/ReadAheadLister.h"

enum class TaskState : uint8_t { Pending, Running, Done };

// A folder the lister knows: listed, being listed or still to be listed.
struct ReadAheadLister::Folder {
    Folder* Parent = nullptr;  // kept alive by this node's reference
    std::list<Folder>::iterator Self;
    std::string Name;  // the root: its path
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint32_t Depth = 0;
    uint32_t Index = 0;                // among the parent's Children
    const MountDir* Mounts = nullptr;  // in the lister's route; null: no mount point at or below
    // One for the consumer until it leaves or drops the folder, one per child
    // node, one while a worker lists it.
    int Refs = 1;
    TaskState State = TaskState::Pending;
    bool Cancelled = false;  // dropped before it was entered
    bool Opened = false;
    int Fd = -1;
    int FdUsers = 0;                 // workers opening a subfolder from Fd
    uint32_t UnstartedChildren = 0;  // made or not, not yet started
    bool InKept = false;
    std::list<Folder*>::iterator KeptPos;
    TFolderListing Listing;
    size_t Bytes = 0;  // counted in readyBytes_ while not entered
    // Enterable subfolders in listing order: the first ones as nodes, the
    // rest as Seeds, made into nodes one by one as their siblings start.
    std::vector<Folder*> Children;
    std::vector<TSubfolder> Seeds;
    size_t NextSeed = 0;
    size_t Cursor = 0;  // consumer: the next child to enter
};

// How a worker reaches a folder: from Anchor's descriptor (pinned) through
// Steps, the closed ancestors between Anchor and the folder.
struct ReadAheadLister::OpenPlan {
    Folder* Anchor = nullptr;
    int AnchorFd = -1;
    std::vector<Folder*> Steps;
    int ParentFd = -1;  // the folder's parent, opened again along the way
    uint8_t Error = 0;  // why the folder could not be opened (see Listing.h)
    ScanRoute Route;    // the root's, when the folder is the root
    int RootFd = -1;    // the root opened by the consumer (SetOpenedRoot)
};
