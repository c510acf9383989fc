// The kernel's mount table (/proc/self/mountinfo) read into entries: the one
// parser of that text in the program.
//
// Protocol: ReadOwnMountTable reads the text once per use (a rebuild of the
// drive list, the start of a scan); ParseMountTable turns it into entries in
// the table's order. Pure functions otherwise; any thread may call them.
//
// A line is read as the kernel writes it: fields split by single blanks (two
// blanks in a row enclose an empty field, which only the source may be),
//   id parent major:minor root mount-point options [optional...] - type source super-options
// and "\ooo" in a field decoded to its byte where the first digit is 0 to 3,
// kept as written otherwise. A line that does not have that shape (too few
// or too many fields, no "-", a number that is none, a mount point that is
// not absolute, a NUL byte) is rejected whole, never guessed at.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MountEntry {
    int Id = 0;
    int ParentId = 0;
    unsigned Major = 0;      // device numbers of the mounted file system; 0:N is
    unsigned Minor = 0;      // an anonymous device (virtual, overlay, btrfs...)
    std::string Root;        // decoded; path inside the file system that is mounted
    std::string MountPoint;  // decoded
    std::string Options;     // per-mount options, e.g. "ro,nosuid"
    std::string FsType;      // decoded; "ext4", "fuse.sshfs"...
    std::string Source;      // decoded, e.g. "/dev/sda1", "//srv/share"; may be empty
    std::string SuperOptions;

    bool ReadOnly() const;
};

// "\040" is a blank, "\134" a backslash; "\400" and "\9" stay as they are.
std::string DecodeMountField(std::string_view field);

// One line without its newline; nullopt when it is not a mount line.
std::optional<MountEntry> ParseMountLine(std::string_view line);

// Every mount line of the text, in order; the other lines are left out.
std::vector<MountEntry> ParseMountTable(std::string_view text);

// The text of /proc/self/mountinfo into text: 0, or the errno that stopped it.
int ReadOwnMountTable(std::string& text);
