#pragma once
// The four services the drive list needs from the machine.
//
// Protocol: the list calls Roots() once per rebuild, then, for each root in
// the order returned, Kind(root); VolumeLabel(root) only for fixed, CD-ROM
// and RAM roots (and for remote roots whose share name failed); ShareName()
// only for remote roots. None of the calls may block or prompt the user.
//
// A lettered root is written "x:\" with a lower-case letter; ShareName of a
// lettered root receives the local name "X:" (upper-case letter and colon).
// VolumeLabel of a lettered root receives the letter in the case the list
// uses, a colon and a backslash. Any other root is an absolute mount path
// and is passed through unchanged.

#include <optional>
#include <string>
#include <vector>

enum class TDriveKind {
    dkOther,  // no entry
    dkRemovable,
    dkFixed,
    dkRemote,
    dkCdRom,
    dkRamDisk,
    dkFolder,  // no drive: the picture of the entry that opens the folder dialog
};

class IDriveSource {
public:
    virtual ~IDriveSource() = default;

    // Every root in use, in list order (skipped kinds included).
    virtual std::vector<std::string> Roots() = 0;
    virtual TDriveKind Kind(const std::string& root) = 0;
    // The volume label (possibly empty); nullopt when it cannot be read.
    virtual std::optional<std::string> VolumeLabel(const std::string& root) = 0;
    // The name of the remote share; nullopt when it cannot be had.
    virtual std::optional<std::string> ShareName(const std::string& root) = 0;
};
