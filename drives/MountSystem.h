#pragma once
// What the mount-point drive source reads from the machine.
//
// Protocol: ReadMountTable() once per rebuild; the other calls only for
// local, non-removable mounts, or (Device) for mounts whose kind depends on
// the device. No call may touch a remote or removable mount itself: they
// read the kernel's mount table and local device information only
// (/proc, /sys, /dev/disk/by-label), except IsDirectory, which is asked
// only about the mount points of fixed and RAM disks.

#include <optional>
#include <string>

#include "drives/MountClassify.h"
#include "mounts/MountTable.h"

class IMountSystem {
public:
    virtual ~IMountSystem() = default;
    // The text of /proc/self/mountinfo; empty when it cannot be read.
    virtual std::string ReadMountTable() = 0;
    virtual TBlockDevice Device(const MountEntry& mount) = 0;
    // The label of the file system's device; nullopt when there is none.
    virtual std::optional<std::string> Label(const MountEntry& mount) = 0;
    virtual bool IsDirectory(const std::string& path) = 0;
};
