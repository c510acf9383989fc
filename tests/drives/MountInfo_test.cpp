#include "drives/MountInfo.h"

#include <gtest/gtest.h>

#include "drives/MountClassify.h"
#include "drives/PathPrefix.h"

using namespace tallowin::drives;

namespace {

std::vector<std::string> Points(const std::vector<TMountEntry>& mounts)
{
    std::vector<std::string> out;
    for (const auto& m : mounts)
        out.push_back(m.MountPoint);
    return out;
}

}  // namespace

// --- Escapes ---

TEST(MountInfoEscapes, OctalEscapesAreDecoded)
{
    const std::pair<const char*, std::string> cases[] = {
        {"/media/USB\\040STICK", "/media/USB STICK"},
        {"a\\011b\\012c", "a\tb\nc"},
        {"back\\134slash", "back\\slash"},
        {"\\0401", " 1"},        // only three digits belong to the escape
        {"end\\04", "end\\04"},  // too short: kept
        {"x\\9y", "x\\9y"},      // not octal: kept
        {"x\\400", "x\\400"},    // beyond one byte: kept
        {"trail\\", "trail\\"},
        {"", ""},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(DecodeMountField(in), out) << in;
}

TEST(MountInfoEscapes, UdevLabelEscapesAreDecoded)
{
    const std::pair<const char*, std::string> cases[] = {
        {"My\\x20Disk", "My Disk"}, {"a\\x2fb", "a/b"}, {"bad\\xZZ", "bad\\xZZ"}, {"end\\x2", "end\\x2"}};
    for (auto [in, out] : cases)
        EXPECT_EQ(DecodeUdevName(in), out) << in;
}

// --- Lines ---

TEST(MountInfoParse, FieldsOfALineWithOptionalFields)
{
    const auto e = ParseMountInfo(
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

TEST(MountInfoParse, MalformedLinesAreSkipped)
{
    const char* bad[] = {
        "",
        "garbage",
        "1 2 0:1 / /x rw shared:1 ext4 /dev/a rw",  // no separator
        "1 2 0:1 / /x rw - ext4",                   // too few after separator
        "1 2 01 / /x rw - ext4 /dev/a rw",          // no major:minor
        "x 2 0:1 / /x rw - ext4 /dev/a rw",         // id not a number
        "1 2 0:1 / relative rw - ext4 /dev/a rw",   // mount point not absolute
    };
    for (const char* line : bad)
        EXPECT_TRUE(ParseMountInfo(line).empty()) << line;
    EXPECT_EQ(ParseMountInfo("junk\n1 0 8:1 / / rw - ext4 /dev/sda1 rw\n\nmore junk").size(), 1u);
}

TEST(MountInfoParse, ReadOnlyFromEitherOptionList)
{
    const std::pair<const char*, bool> cases[] = {
        {"1 0 7:0 / /s ro,nodev - squashfs /dev/loop0 ro", true},
        {"1 0 7:0 / /s rw - ext4 /dev/loop0 ro,errors=continue", true},
        {"1 0 7:0 / /s rw,errors=ro - ext4 /dev/loop0 rw", false},
    };
    for (auto [line, ro] : cases) {
        const auto e = ParseMountInfo(line);
        ASSERT_EQ(e.size(), 1u);
        EXPECT_EQ(e[0].ReadOnly(), ro) << line;
    }
}

// --- Topmost mounts ---

TEST(MountInfoVisible, StackedMountsKeepTheTopmostAndHideWhatTheyCover)
{
    const auto v = VisibleMounts(ParseMountInfo("29 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                                "100 29 8:5 / /data rw - ext4 /dev/sda5 rw\n"
                                                "102 100 8:7 / /data/old rw - ext4 /dev/sda7 rw\n"
                                                "101 100 8:6 / /data rw - xfs /dev/sda6 rw\n"
                                                "103 101 8:8 / /data/new rw - ext4 /dev/sda8 rw\n"));
    EXPECT_EQ(Points(v), (std::vector<std::string>{"/", "/data", "/data/new"}));
    EXPECT_EQ(v[1].FsType, "xfs");
}

TEST(MountInfoVisible, UnderlyingMountListedAfterItsCoverStaysHidden)
{
    // The kernel may list a mount after the one stacked on top of it.
    const auto v = VisibleMounts(ParseMountInfo("29 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                                "50 40 0:60 / /mnt rw - tmpfs top rw\n"
                                                "40 29 0:59 / /mnt rw - tmpfs bottom rw\n"));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1].Source, "top");
}

TEST(MountInfoVisible, RootStackedOnRootfs)
{
    const auto v = VisibleMounts(ParseMountInfo("1 1 0:1 / / rw - rootfs rootfs rw\n"
                                                "20 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                "21 20 8:2 / /home rw - ext4 /dev/sda2 rw\n"));
    EXPECT_EQ(Points(v), (std::vector<std::string>{"/", "/home"}));
    EXPECT_EQ(v[0].FsType, "ext4");
}

TEST(MountInfoVisible, ByteWisePathOrder)
{
    const auto v = VisibleMounts(
        ParseMountInfo("1 0 8:1 / / rw - ext4 a rw\n"
                       "2 1 8:2 / /b rw - ext4 a rw\n"
                       "3 1 8:3 / /B rw - ext4 a rw\n"
                       "4 1 8:4 / /a-b rw - ext4 a rw\n"
                       "5 1 8:5 / /a rw - ext4 a rw\n"
                       "6 1 8:6 / /\\303\\251t\\303\\251 rw - ext4 a rw\n"  // UTF-8 "été" after ASCII
                       "7 1 8:7 / /a/b rw - ext4 a rw\n"));
    EXPECT_EQ(Points(v),
              (std::vector<std::string>{"/", "/B", "/a", "/a-b", "/a/b", "/b", "/\xC3\xA9t\xC3\xA9"}));
}

TEST(MountInfoVisible, ParentCycleDoesNotHang)
{
    const auto v = VisibleMounts(ParseMountInfo("1 2 8:1 / /a rw - ext4 a rw\n"
                                                "2 1 8:2 / /b rw - ext4 a rw\n"));
    EXPECT_TRUE(v.empty());
}

// --- Paths ---

TEST(PathPrefix, ComponentWise)
{
    struct Case {
        const char* Path;
        const char* Dir;
        bool Within;
    };
    const Case cases[] = {
        {"/home", "/home", true},    {"/home/ann", "/home", true}, {"/homework", "/home", false},
        {"/hom", "/home", false},    {"/anything", "/", true},     {"/", "/", true},
        {"/run/user", "/run", true}, {"/runner", "/run", false},   {"", "/", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPathWithin(c.Path, c.Dir), c.Within) << c.Path << " in " << c.Dir;
}
