// Which mounts the drive chooser lists: the topmost of stacked ones, in path order.
#include "mounts/VisibleMounts.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Points(const std::vector<MountEntry>& mounts)
{
    std::vector<std::string> out;
    for (const auto& m : mounts)
        out.push_back(m.MountPoint);
    return out;
}

TEST(VisibleMounts, StackedMountsKeepTheTopmostAndHideWhatTheyCover)
{
    const auto v = VisibleMounts(ParseMountTable("29 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                                 "100 29 8:5 / /data rw - ext4 /dev/sda5 rw\n"
                                                 "102 100 8:7 / /data/old rw - ext4 /dev/sda7 rw\n"
                                                 "101 100 8:6 / /data rw - xfs /dev/sda6 rw\n"
                                                 "103 101 8:8 / /data/new rw - ext4 /dev/sda8 rw\n"));
    EXPECT_EQ(Points(v), (std::vector<std::string>{"/", "/data", "/data/new"}));
    EXPECT_EQ(v[1].FsType, "xfs");
}

TEST(VisibleMounts, UnderlyingMountListedAfterItsCoverStaysHidden)
{
    // The kernel may list a mount after the one stacked on top of it.
    const auto v = VisibleMounts(ParseMountTable("29 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                                 "50 40 0:60 / /mnt rw - tmpfs top rw\n"
                                                 "40 29 0:59 / /mnt rw - tmpfs bottom rw\n"));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1].Source, "top");
}

TEST(VisibleMounts, RootStackedOnRootfs)
{
    const auto v = VisibleMounts(ParseMountTable("1 1 0:1 / / rw - rootfs rootfs rw\n"
                                                 "20 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                 "21 20 8:2 / /home rw - ext4 /dev/sda2 rw\n"));
    EXPECT_EQ(Points(v), (std::vector<std::string>{"/", "/home"}));
    EXPECT_EQ(v[0].FsType, "ext4");
}

TEST(VisibleMounts, ByteWisePathOrder)
{
    const auto v = VisibleMounts(
        ParseMountTable("1 0 8:1 / / rw - ext4 a rw\n"
                        "2 1 8:2 / /b rw - ext4 a rw\n"
                        "3 1 8:3 / /B rw - ext4 a rw\n"
                        "4 1 8:4 / /a-b rw - ext4 a rw\n"
                        "5 1 8:5 / /a rw - ext4 a rw\n"
                        "6 1 8:6 / /\\303\\251t\\303\\251 rw - ext4 a rw\n"  // UTF-8 "été" after ASCII
                        "7 1 8:7 / /a/b rw - ext4 a rw\n"));
    EXPECT_EQ(Points(v),
              (std::vector<std::string>{"/", "/B", "/a", "/a-b", "/a/b", "/b", "/\xC3\xA9t\xC3\xA9"}));
}

TEST(VisibleMounts, ParentCycleDoesNotHang)
{
    const auto v = VisibleMounts(ParseMountTable("1 2 8:1 / /a rw - ext4 a rw\n"
                                                 "2 1 8:2 / /b rw - ext4 a rw\n"));
    EXPECT_TRUE(v.empty());
}

}  // namespace
