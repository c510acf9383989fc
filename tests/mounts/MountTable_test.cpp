// The mount table's parser: the edge lines, one line's fields, the options.
#include "mounts/MountTable.h"

#include <gtest/gtest.h>

namespace {

// One line each; Point null: the line is rejected.
struct LineCase {
    const char* Line;
    const char* Point;
    const char* Source;
};

const LineCase kLines[] = {
    // Escapes, in the mount point: decoded for a first digit 0 to 3 only.
    {"1 0 8:1 / /media/USB\\040STICK rw - vfat /dev/sdb1 rw", "/media/USB STICK", "/dev/sdb1"},
    {"1 0 8:1 / /back\\134slash rw - ext4 /dev/a rw", "/back\\slash", "/dev/a"},
    {"1 0 8:1 / /a\\011b\\012c rw - ext4 /dev/a rw", "/a\tb\nc", "/dev/a"},
    {"1 0 8:1 / /\\0401 rw - ext4 /dev/a rw", "/ 1", "/dev/a"},  // three digits belong to it
    {"1 0 8:1 / /x\\777 rw - ext4 /dev/a rw", "/x\\777", "/dev/a"},
    {"1 0 8:1 / /x\\400 rw - ext4 /dev/a rw", "/x\\400", "/dev/a"},
    {"1 0 8:1 / /end\\04 rw - ext4 /dev/a rw", "/end\\04", "/dev/a"},  // too short
    {"1 0 8:1 / /x\\9y rw - ext4 /dev/a rw", "/x\\9y", "/dev/a"},      // not octal
    {"1 0 8:1 / /trail\\ rw - ext4 /dev/a rw", "/trail\\", "/dev/a"},
    {"1 0 8:1 / /x rw - ext4 //srv/my\\040share rw", "/x", "//srv/my share"},
    {"1 0 8:1 / /x\\000y rw - ext4 /dev/a rw", nullptr, nullptr},  // a NUL would cut the path
    // Fields split by single blanks: an empty source is a field of its own.
    {"36 35 0:50 / /mnt rw,nosuid - tmpfs  rw,size=4k", "/mnt", ""},
    {"36 35 0:50 / /mnt  rw - tmpfs tmpfs rw", nullptr, nullptr},
    {"36  35 0:50 / /mnt rw - tmpfs tmpfs rw", nullptr, nullptr},
    {"36 35 0:50 / /mnt rw shared:1  - tmpfs tmpfs rw", nullptr, nullptr},
    {"36 35 0:50 / /mnt rw - tmpfs tmpfs rw ", nullptr, nullptr},
    {"36 35 0:50 / /mnt\trw - tmpfs tmpfs rw", nullptr, nullptr},
    // Optional fields, none or several, end at the separator.
    {"36 35 98:0 /mnt1 /mnt2 rw - ext3 /dev/root rw", "/mnt2", "/dev/root"},
    {"36 35 98:0 /mnt1 /mnt2 rw master:1 shared:2 unbindable - ext3 /dev/root rw", "/mnt2", "/dev/root"},
    {"1 2 0:1 / /x rw shared:1 ext4 /dev/a rw", nullptr, nullptr},  // no separator
    {"1 2 0:1 / /x rw - ext4", nullptr, nullptr},                   // too few after it
    {"1 2 0:1 / /x rw - ext4 /dev/a", nullptr, nullptr},
    {"1 2 0:1 / /x rw - ext4 /dev/a rw more", nullptr, nullptr},  // too many
    {"1 2 0:1 / - ext4 /dev/a rw", nullptr, nullptr},             // too few before it
    // Not a mount line.
    {"", nullptr, nullptr},
    {"garbage", nullptr, nullptr},
    {"not a mount line", nullptr, nullptr},
    {"1 2 01 / /x rw - ext4 /dev/a rw", nullptr, nullptr},         // no major:minor
    {"x 2 0:1 / /x rw - ext4 /dev/a rw", nullptr, nullptr},        // id not a number
    {"-1 2 0:1 / /x rw - ext4 /dev/a rw", nullptr, nullptr},       // nor a signed one
    {"1 2 0:1 / relative rw - ext4 /dev/a rw", nullptr, nullptr},  // mount point not absolute
};

TEST(MountTable, EdgeLines)
{
    for (const LineCase& c : kLines) {
        const auto e = ParseMountLine(c.Line);
        ASSERT_EQ(e.has_value(), c.Point != nullptr) << c.Line;
        if (e) {
            EXPECT_EQ(e->MountPoint, c.Point) << c.Line;
            EXPECT_EQ(e->Source, c.Source) << c.Line;
        }
        EXPECT_EQ(ParseMountTable(c.Line).size(), e ? 1u : 0u) << c.Line;
    }
    EXPECT_EQ(ParseMountTable("junk\n1 0 8:1 / / rw - ext4 /dev/sda1 rw\n\nmore junk").size(), 1u);
}

TEST(MountTable, FieldsOfALineWithOptionalFields)
{
    const auto e = ParseMountTable(
        "36 35 98:0 /mnt1 /mnt\\0402 rw,noatime master:1 shared:2 - ext3 /dev/root rw,errors=continue\n");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].Id, 36);
    EXPECT_EQ(e[0].ParentId, 35);
    EXPECT_EQ(e[0].Major, 98u);
    EXPECT_EQ(e[0].Minor, 0u);
    EXPECT_EQ(e[0].Root, "/mnt1");
    EXPECT_EQ(e[0].MountPoint, "/mnt 2");
    EXPECT_EQ(e[0].FsType, "ext3");
    EXPECT_EQ(e[0].Source, "/dev/root");
    EXPECT_FALSE(e[0].ReadOnly());
}

TEST(MountTable, ReadOnlyFromEitherOptionList)
{
    const std::pair<const char*, bool> cases[] = {
        {"1 0 7:0 / /s ro,nodev - squashfs /dev/loop0 ro", true},
        {"1 0 7:0 / /s rw - ext4 /dev/loop0 ro,errors=continue", true},
        {"1 0 7:0 / /s rw,errors=ro - ext4 /dev/loop0 rw", false},
    };
    for (auto [line, ro] : cases) {
        const auto e = ParseMountTable(line);
        ASSERT_EQ(e.size(), 1u);
        EXPECT_EQ(e[0].ReadOnly(), ro) << line;
    }
}

}  // namespace
