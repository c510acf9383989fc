// Which folders of a scan must look at each subfolder: those on the way to a
// mount point of the mount table, below the scan's root only.
#include <gtest/gtest.h>

#include <string>

#include "mounts/MountTree.h"

namespace {

// A recorded table, trimmed: the root file system, proc with an automount
// point inside, /home with a mount whose path holds a blank, a tmpfs at
// /home2/x (a name that starts like /home), a bind mount at /mnt/srv, and a
// line that is not a mount.
const char* const kTable = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                           "23 22 0:5 / /proc rw,nosuid shared:12 - proc proc rw\n"
                           "24 23 0:6 / /proc/sys/fs/binfmt_misc rw shared:13 - autofs systemd-1 rw,fd=29\n"
                           "30 22 8:2 / /home rw shared:30 - ext4 /dev/sda2 rw\n"
                           "31 30 0:40 / /home/u/my\\040disk rw,nosuid - fuse.sshfs h:/ rw\n"
                           "32 22 0:41 / /home2/x rw - tmpfs tmpfs rw\n"
                           "33 22 8:1 /srv /mnt/srv rw - ext4 /dev/sda1 rw\n"
                           "not a mount line\n";

// Whether the listing of folder rel (below root) must look at its subfolders.
bool Looks(const MountDir& root, const std::string& rel)
{
    const MountDir* dir = &root;
    for (size_t begin = 0; begin < rel.size() && dir;) {
        const size_t slash = std::min(rel.find('/', begin), rel.size());
        dir = MountDirBelow(dir, rel.substr(begin, slash - begin));
        begin = slash + 1;
    }
    return LooksAtSubfolders(dir);
}

TEST(MountTree, OnlyFoldersOnTheWayToAMountPointLook)
{
    struct TCase {
        const char* Root;
        const char* Folder;
        bool Looks;
    };
    const TCase cases[] = {
        {"/", "", true},
        {"/", "usr", false},
        {"/", "usr/lib", false},
        {"/", "proc", true},
        {"/", "proc/sys/fs", true},
        {"/", "home/u", true},
        {"/", "home/u/my disk", false},  // the mount point itself: never listed
        {"/", "home/v", false},
        {"/", "mnt", true},
        {"/home", "", true},
        {"/home", "u", true},
        {"/home", "x", false},
        {"/home/", "u", true},
        {"/home/u", "", true},
        {"/home/u/my disk", "", false},
        {"/home/u/my disk", "sub", false},
        {"/home2", "", true},
        {"/ho", "", false},
        {"/usr", "", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Looks(MountsBelow(ParseMountTable(kTable), c.Root), c.Folder), c.Looks)
            << c.Root << " : " << c.Folder;
}

TEST(MountTree, EverywhereLooksInEveryFolder)
{
    MountDir all;
    all.Everywhere = true;
    EXPECT_TRUE(Looks(all, ""));
    EXPECT_TRUE(Looks(all, "a/b/c"));
    EXPECT_FALSE(Looks(MountsBelow({}, "/"), ""));
}

}  // namespace
