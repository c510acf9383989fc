#pragma once
// Which kind of drive a mount is, from its file-system type and the block
// device under it.
//
// Protocol: pure functions of their arguments; any thread. The mount drive
// source asks IsRemoteType first, and only for other types fetches the
// device information (IMountSystem::Device) that ClassifyMount needs.

#include <string>
#include <string_view>

#include "drives/DriveSource.h"
#include "mounts/MountTable.h"

// What the local device information says about the device under a mount.
struct TBlockDevice {
    bool Exists = false;     // a block device backs the mount
    bool Removable = false;  // the kernel flags the disk removable
    bool Usb = false;        // the disk sits on a USB bus
    bool Optical = false;    // the disk is an optical drive
};

// Mount points of the system's own RAM disks: /dev, /proc, /sys, /run and
// everything below them.
bool IsSystemPath(std::string_view mountPoint);

// Remote and RAM kinds follow from the type alone; the others need `device`.
TDriveKind ClassifyMount(const MountEntry& mount, const TBlockDevice& device);

// True for the types whose kind never depends on the device.
bool IsRemoteType(std::string_view fsType);

// Decodes udev's "\x20"-style escapes in /dev/disk/by-label names.
std::string DecodeUdevName(std::string_view name);
