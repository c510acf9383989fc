#pragma once
// The running machine's mount table and local block-device information.
// Reads /proc/self/mountinfo, /sys/dev/block, /sys/class/block and
// /dev/disk/by-label; never opens a mounted file system.
//
// Protocol: as IMountSystem (MountSystem.h). MakeLinuxDriveSource's source
// owns one and calls it on the thread that uses the drive list (the UI
// thread); it keeps no state between calls.

#include "drives/MountSystem.h"

class TLinuxMountSystem : public IMountSystem {
public:
    std::string ReadMountTable() override;
    TBlockDevice Device(const MountEntry& mount) override;
    std::optional<std::string> Label(const MountEntry& mount) override;
    bool IsDirectory(const std::string& path) override;
};
