// Move to Trash, by descriptors, as the freedesktop trash is kept: the item
// goes into a trash folder's files/ under a free name, with an info file of
// the same name in info/ saying where it came from and when. Nothing is
// ever deleted for good.
//
// Protocol: on the tree's thread, TrashRequestFor(item, dataHome) copies
// out of the tree what the move needs (the walk to the item's folder, its
// name and recorded identity). CheckTrashItem(request) looks without moving
// (the window asks the user only about an item still there); MoveToTrash
// (request) then moves it. Both touch no tree and may run on any thread;
// both return what happened as data (TrashResult), errors by errno.
//
// The move: the item's folder is opened by the checked walk
// (sizetree/EntryWalk.h), the item looked at there (fstatat, no link
// followed) and compared with its recorded identity. The trash is the home
// trash (dataHome/Trash) for an item on the device of that folder; else the
// trash of the item's mount, found by walking up from its folder to the
// mount's top folder: $top/.Trash/$uid where $top/.Trash is a folder with
// the sticky bit, else $top/.Trash-$uid. Missing trash folders are made
// with mode 0700; an existing one (and its files/, info/) is used only when
// it is no link, belongs to this user and has mode 0700. Where no trash can
// be used the move is refused with the reason: it never falls back to the
// home trash across devices (the rename could not work there anyway). The
// info file is reserved with O_EXCL under the first free name (name, then
// name.2, name.3, ..., shortened to fit 255 bytes with ".trashinfo"), the
// item checked again just before renameat2(RENAME_NOREPLACE), and once more
// in the trash after it: an item swapped at the last moment is moved back
// and refused. A file system without RENAME_NOREPLACE is refused rather
// than risk replacing anything. On every refusal after the info file was
// written, the info file goes again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "sizetree/EntryWalk.h"
#include "sizetree/SizeTree.h"

struct TrashRequest {
    WalkPlan Folder;        // the walk to the folder holding the item
    std::string Name;       // the item's name in it (bytes)
    bool IsFolder = false;  // recorded as a folder (else anything but one)
    uint64_t Device = 0;    // recorded identity
    uint64_t Inode = 0;
    std::string DataHome;  // absolute: the home trash is DataHome/Trash
    // Runs just before the rename (tests swap things at that moment).
    std::function<void()> BeforeRename;
};

enum class TrashFailure : uint8_t {
    None,
    FolderChanged,         // the walk refused: Walk says where and why
    ItemChanged,           // the item is not the recorded one: Error the errno of looking, 0 another item
    MountPoint,            // the item is the top folder of another mount: it cannot leave it
    TrashInside,           // the trash (Where) lies inside the item
    NoDataHome,            // DataHome is empty or relative
    TrashIsLink,           // Where, an existing trash folder, is a symbolic link
    TrashNotFolder,        // Where is no folder
    TrashNotOurs,          // Where belongs to another user (Owner)
    TrashOpen,             // Where has Mode, not 0700
    NoTrash,               // a trash folder (Where) could not be made or opened: Error
    NoReplaceUnsupported,  // the file system cannot rename without replacing
    Failed,                // a step on Where failed: Error (EXDEV: another mount than the trash)
    NotMovedBack,          // swapped at the last moment, and what moved could not go back: it is at Where
};

struct TrashResult {
    TrashFailure Failure = TrashFailure::None;
    int Error = 0;
    std::string Where;  // the folder or file the failure is about (display)
    WalkRefusal Walk;   // FolderChanged
    uint32_t Owner = 0;
    uint32_t Mode = 0;
    std::string TrashedAs;  // moved: its path in the trash (display)
    bool Moved() const { return Failure == TrashFailure::None; }
    static TrashResult Refused(TrashFailure why, int error, std::string where)
    {
        TrashResult r;
        r.Failure = why;
        r.Error = error;
        r.Where = std::move(where);
        return r;
    }
};

// The request for a folder entry below a root or a listed file.
TrashRequest TrashRequestFor(const TTreeEntry& item, std::string dataHome);

// Looks at the item as the move will: None when it is still there as recorded.
TrashResult CheckTrashItem(const TrashRequest& request);

TrashResult MoveToTrash(const TrashRequest& request);

// A path's bytes as an info file's Path= and a file URI write them: every
// byte but the unreserved ones (A-Z a-z 0-9 - . _ ~) and "/" as %XX.
std::string PercentEncodedPath(const std::string& path);
