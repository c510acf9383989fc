// The trash folder an item goes to, found, made where missing and opened by
// descriptors; sizetree/Trash.h says which one and the checks it passes.
//
// Protocol: private to the trash (Trash*.cpp), called by the move with the
// item's folder open; any thread. The caller owns the descriptors returned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "sizetree/EntryWalk.h"
#include "sizetree/Trash.h"

struct TrashPlace {
    FolderFd Files;  // the trash's files/ and info/
    FolderFd Info;
    std::string Path;  // the trash folder (display)
    // 0: an info file's Path= is absolute (the home trash); else it is the
    // last RelativeNames names of the item's path (relative to the top folder).
    size_t RelativeNames = 0;
};

// The trash for an item in the open folder parentFd, on parentDevice, whose
// absolute path is itemPath; nothing, with the reason in result, when there
// is none that may be used.
std::optional<TrashPlace> OpenTrashFor(int parentFd, uint64_t parentDevice, const std::string& itemPath,
                                       const std::string& dataHome, TrashResult& result);

// An absolute path's last `names` names ("a/b"), and what goes before
// them ("/x/y"; "/" when nothing does).
std::string TrailingNames(const std::string& path, size_t names);
std::string LeadingPath(const std::string& path, size_t names);
