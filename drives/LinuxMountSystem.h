#pragma once
// The running machine's mount table and local block-device information.
// Reads /proc/self/mountinfo, /sys/dev/block, /sys/class/block and
// /dev/disk/by-label; never opens a mounted file system.

#include "drives/MountSystem.h"

namespace tallowin::drives {

class TLinuxMountSystem : public IMountSystem {
public:
    std::string ReadMountTable() override;
    TBlockDevice Device(const TMountEntry& mount) override;
    std::optional<std::string> Label(const TMountEntry& mount) override;
    bool IsDirectory(const std::string& path) override;
};

}  // namespace tallowin::drives
