// The user's own trash folder, made ready before anything is moved there.
//
// Qt's move to the trash, when it cannot make the trash folder, moves the
// item into "files" under the working folder and reports success; so the
// window makes the folder itself first and refuses the move when it cannot.
// UI thread; a plain system-call shim (mkdir).
#pragma once

#include <string>

// Makes $XDG_DATA_HOME/Trash with its "files" and "info" folders (mode 0700)
// where they are missing, at dataHome (the generic data location). "" when
// they are there, else why not ("/x/Trash: Not a directory").
std::string EnsureHomeTrash(const std::string& dataHome);
