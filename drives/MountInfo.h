#pragma once
// Parsing of the kernel's mount table as found in /proc/self/mountinfo.
//
// Protocol: ParseMountInfo(text) turns the whole file into entries in file
// order, skipping lines it cannot read. VisibleMounts(entries) keeps one
// entry per mount point, the topmost where mounts stack, drops mounts hidden
// by a later mount over one of their parents, and orders the result by mount
// path byte by byte.

#include <string>
#include <string_view>
#include <vector>

namespace tallowin::drives {

struct TMountEntry {
    int Id = 0;
    int ParentId = 0;
    unsigned Major = 0;      // device numbers of the mounted file system; 0:N is
    unsigned Minor = 0;      // an anonymous device (virtual, overlay, btrfs...)
    std::string Root;        // path inside the file system that is mounted
    std::string MountPoint;  // decoded
    std::string Options;     // per-mount options, e.g. "ro,nosuid"
    std::string FsType;      // "ext4", "fuse.sshfs"...
    std::string Source;      // decoded, e.g. "/dev/sda1", "//srv/share"
    std::string SuperOptions;

    bool ReadOnly() const;
};

// Decodes the kernel's octal escapes ("\040" is a blank, "\134" a backslash).
std::string DecodeMountField(std::string_view field);

std::vector<TMountEntry> ParseMountInfo(std::string_view text);

std::vector<TMountEntry> VisibleMounts(const std::vector<TMountEntry>& entries);

}  // namespace tallowin::drives
