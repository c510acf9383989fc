#include "drives/MountClassify.h"

#include <algorithm>
#include <array>

#include "drives/PathPrefix.h"

namespace {

template <std::size_t N> bool OneOf(std::string_view s, const std::array<std::string_view, N>& set)
{
    return std::find(set.begin(), set.end(), s) != set.end();
}

constexpr std::array<std::string_view, 13> kRemote = {
    "nfs",  "nfs4",      "cifs",           "smb3",  "smbfs",      "fuse.sshfs", "9p",
    "ceph", "glusterfs", "fuse.glusterfs", "davfs", "fuse.davfs", "afs"};
constexpr std::array<std::string_view, 2> kRam = {"tmpfs", "ramfs"};
constexpr std::array<std::string_view, 2> kOptical = {"iso9660", "udf"};
// Local file systems whose device number is anonymous (0:N).
constexpr std::array<std::string_view, 4> kFixedWithoutDevice = {"overlay", "btrfs", "zfs", "fuseblk"};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool IsSystemPath(std::string_view mountPoint)
{
    for (std::string_view dir : {"/dev", "/proc", "/sys", "/run"})
        if (IsPathWithin(mountPoint, dir))
            return true;
    return false;
}

bool IsRemoteType(std::string_view fsType)
{
    return OneOf(fsType, kRemote);
}

TDriveKind ClassifyMount(const MountEntry& mount, const TBlockDevice& device)
{
    const std::string_view type = mount.FsType;
    if (IsRemoteType(type))
        return TDriveKind::dkRemote;
    if (OneOf(type, kRam))
        return IsSystemPath(mount.MountPoint) ? TDriveKind::dkOther : TDriveKind::dkRamDisk;
    if (type == "squashfs")
        return TDriveKind::dkOther;  // read-only package images
    if (OneOf(type, kOptical) && device.Exists && device.Optical)
        return TDriveKind::dkCdRom;
    if (device.Exists) {
        if (device.Removable || device.Usb)
            return TDriveKind::dkRemovable;
        return TDriveKind::dkFixed;
    }
    if (OneOf(type, kFixedWithoutDevice))
        return TDriveKind::dkFixed;
    return TDriveKind::dkOther;
}

std::string DecodeUdevName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int hi = HexDigit(name[i + 2]), lo = HexDigit(name[i + 3]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}
