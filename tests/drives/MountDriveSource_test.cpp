#include "drives/MountDriveSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "drives/DriveList.h"
#include "drives/MountClassify.h"
#include "drives/PathPrefix.h"

namespace {

using K = TDriveKind;

std::string Fixture(const std::string& name)
{
    std::ifstream in(std::string(TALLOWIN_DRIVES_TEST_DATA) + "/" + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string DevKey(const MountEntry& m)
{
    return std::to_string(m.Major) + ":" + std::to_string(m.Minor);
}

// Device information by "major:minor". Touched records the mounts whose label
// or mount point was asked about, DeviceAsked those whose device was.
class TFakeMountSystem : public IMountSystem {
public:
    explicit TFakeMountSystem(std::string table) : table_(std::move(table)) {}

    std::string ReadMountTable() override { return table_; }
    TBlockDevice Device(const MountEntry& m) override
    {
        DeviceAsked.insert(m.MountPoint);
        const auto it = Devices.find(DevKey(m));
        if (it != Devices.end())
            return it->second;
        return TBlockDevice{m.Major != 0, false, false, false};
    }
    std::optional<std::string> Label(const MountEntry& m) override
    {
        Touched.insert(m.MountPoint);
        const auto it = Labels.find(DevKey(m));
        return it == Labels.end() ? std::nullopt : std::optional(it->second);
    }
    bool IsDirectory(const std::string& path) override
    {
        Touched.insert(path);
        return !Files.contains(path);
    }

    std::map<std::string, TBlockDevice> Devices;
    std::map<std::string, std::string> Labels;
    std::set<std::string> Files;
    std::set<std::string> Touched;
    std::set<std::string> DeviceAsked;

private:
    std::string table_;
};

struct TListed {
    std::string Caption;
    K Kind;
    bool operator==(const TListed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TListed& l)
{
    return os << l.Caption << " #" << int(l.Kind);
}

std::vector<TListed> List(TFakeMountSystem& system, TTextCase tc = TTextCase::tcLowerCase)
{
    TMountDriveSource source(system);
    TDriveList list(source, "", tc);
    list.RebuildDriveList();
    std::vector<TListed> out;
    for (const auto& e : list.Entries())
        out.push_back({e.Caption, e.Image});
    return out;
}

}  // namespace

// --- Recorded machines ---

TEST(MountDriveSourceFixtures, Desktop)
{
    TFakeMountSystem sys(Fixture("desktop.mountinfo"));
    sys.Labels = {{"8:2", "Debian"}, {"8:3", "Home & Data"}, {"8:17", "USB STICK"}};
    sys.Devices["8:17"] = {true, true, true, false};
    EXPECT_EQ(List(sys),
              (std::vector<TListed>{{"/ [debian]", K::dkFixed},
                                    {"/boot/efi []", K::dkFixed},
                                    {"/home [home & data]", K::dkFixed},
                                    {"/media/ann/USB STICK", K::dkRemovable}}));
    // The USB stick is classified from device information but never read.
    EXPECT_TRUE(sys.DeviceAsked.contains("/media/ann/USB STICK"));
    EXPECT_FALSE(sys.Touched.contains("/media/ann/USB STICK"));
}

TEST(MountDriveSourceFixtures, RemovableMountIsNeitherStattedNorLabelled)
{
    TFakeMountSystem sys(Fixture("desktop.mountinfo"));
    sys.Devices["8:17"] = {true, false, true, false};  // on a USB bus, not flagged removable
    TMountDriveSource source(sys);
    source.Roots();
    EXPECT_EQ(source.Kind("/media/ann/USB STICK"), K::dkRemovable);
    EXPECT_EQ(source.VolumeLabel("/media/ann/USB STICK"), std::nullopt);
    EXPECT_EQ(source.ShareName("/media/ann/USB STICK"), std::nullopt);
    EXPECT_FALSE(sys.Touched.contains("/media/ann/USB STICK"));
}

TEST(MountDriveSourceFixtures, ContainerWithOverlayRoot)
{
    TFakeMountSystem sys(Fixture("container.mountinfo"));
    sys.Files = {"/etc/resolv.conf", "/etc/hostname", "/etc/hosts"};
    EXPECT_EQ(List(sys), (std::vector<TListed>{{"/ []", K::dkFixed}, {"/work []", K::dkFixed}}));
}

TEST(MountDriveSourceFixtures, NetworkMountsShowTheirSourceAndAreNeverTouched)
{
    TFakeMountSystem sys(Fixture("network.mountinfo"));
    sys.Labels = {{"8:2", "Debian"}};
    for (TTextCase tc : {TTextCase::tcLowerCase, TTextCase::tcUpperCase}) {
        const bool up = tc == TTextCase::tcUpperCase;
        EXPECT_EQ(List(sys, tc),
                  (std::vector<TListed>{{up ? "/ [DEBIAN]" : "/ [debian]", K::dkFixed},
                                        {"/mnt/nfs fileserver:/export/Home", K::dkRemote},
                                        {"/mnt/none []", K::dkRemote},
                                        {"/mnt/share //NAS/Media Files", K::dkRemote},
                                        {"/mnt/ssh ann@host:/srv", K::dkRemote}}));
    }
    EXPECT_EQ(sys.Touched, (std::set<std::string>{"/"}));
    EXPECT_EQ(sys.DeviceAsked, (std::set<std::string>{"/"}));
}

TEST(MountDriveSourceFixtures, CdOnAnOpticalDriveAndAnImageOnALoopDevice)
{
    TFakeMountSystem sys(Fixture("cdrom.mountinfo"));
    sys.Devices["11:0"] = {true, true, false, true};
    sys.Labels = {{"11:0", "Debian 12.5.0 amd64 1"}, {"7:1", "IMG"}};
    EXPECT_EQ(List(sys),
              (std::vector<TListed>{{"/ []", K::dkFixed},
                                    {"/media/ann/Debian 12.5.0 amd64 1 [debian 12.5.0 amd64 1]", K::dkCdRom},
                                    {"/mnt/iso [img]", K::dkFixed}}));
}

TEST(MountDriveSourceFixtures, RamDisksOutsideTheSystemDirectories)
{
    TFakeMountSystem sys(Fixture("tmpfs.mountinfo"));
    EXPECT_EQ(List(sys),
              (std::vector<TListed>{{"/ []", K::dkFixed},
                                    {"/mnt/ram []", K::dkRamDisk},
                                    {"/runner []", K::dkRamDisk},
                                    {"/tmp []", K::dkRamDisk}}));
}

TEST(MountDriveSourceFixtures, InitialSelectionOnTheDesktop)
{
    struct Case {
        const char* Cwd;
        std::string Selected;
        bool Listed;
    };
    const Case cases[] = {
        {"/home/ann/src", "/home", true},
        {"/homework", "/", true},
        {"/boot/efi/EFI", "/boot/efi", true},
        {"/run/user/1000/x", "/run/user/1000", false},
        {"/media/ann/USB STICK/photos", "/media/ann/USB STICK", true},
    };
    for (const auto& c : cases) {
        TFakeMountSystem sys(Fixture("desktop.mountinfo"));
        sys.Devices["8:17"] = {true, true, true, false};
        TMountDriveSource source(sys);
        TDriveList list(source, c.Cwd);
        list.RebuildDriveList();
        list.SelectDrive(list.SelectedDrive());
        EXPECT_EQ(list.SelectedDrive(), c.Selected) << c.Cwd;
        EXPECT_EQ(list.SelectedIndex() >= 0, c.Listed) << c.Cwd;
    }
}

TEST(MountDriveSourceFixtures, UnknownRootsAndEmptyTable)
{
    TFakeMountSystem sys("");
    TMountDriveSource source(sys);
    EXPECT_TRUE(source.Roots().empty());
    EXPECT_EQ(source.Kind("/"), K::dkOther);
    EXPECT_EQ(source.VolumeLabel("/"), std::nullopt);
    EXPECT_EQ(source.ShareName("/"), std::nullopt);
}

// --- Classification rules ---

TEST(MountClassify, ByTypeAndDevice)
{
    struct Case {
        const char* Type;
        const char* Point;
        TBlockDevice Device;
        K Kind;
    };
    const TBlockDevice none{}, disk{true, false, false, false}, removable{true, true, false, false},
        usb{true, false, true, false}, optical{true, true, false, true};
    const Case cases[] = {
        {"ext4", "/", disk, K::dkFixed},
        {"ext4", "/media/x", removable, K::dkRemovable},
        {"vfat", "/media/x", usb, K::dkRemovable},
        {"ext4", "/run/media/ann/x", usb, K::dkRemovable},  // /run only hides RAM disks
        {"iso9660", "/media/cd", optical, K::dkCdRom},
        {"udf", "/media/dvd", optical, K::dkCdRom},
        {"udf", "/media/stick", usb, K::dkRemovable},
        {"iso9660", "/mnt/iso", disk, K::dkFixed},
        {"overlay", "/", none, K::dkFixed},
        {"btrfs", "/", none, K::dkFixed},
        {"zfs", "/tank", none, K::dkFixed},
        {"fuseblk", "/media/win", none, K::dkFixed},
        {"fuseblk", "/media/win", usb, K::dkRemovable},
        {"squashfs", "/snap/core/1", disk, K::dkOther},
        {"tmpfs", "/tmp", none, K::dkRamDisk},
        {"ramfs", "/mnt/r", none, K::dkRamDisk},
        {"tmpfs", "/run", none, K::dkOther},
        {"tmpfs", "/dev/shm", none, K::dkOther},
        {"tmpfs", "/sys/fs/cgroup", none, K::dkOther},
        {"tmpfs", "/proc/x", none, K::dkOther},
        {"tmpfs", "/devices", none, K::dkRamDisk},
        {"nfs", "/n", none, K::dkRemote},
        {"nfs4", "/n", none, K::dkRemote},
        {"cifs", "/n", none, K::dkRemote},
        {"smb3", "/n", none, K::dkRemote},
        {"smbfs", "/n", none, K::dkRemote},
        {"fuse.sshfs", "/n", none, K::dkRemote},
        {"9p", "/n", none, K::dkRemote},
        {"ceph", "/n", none, K::dkRemote},
        {"glusterfs", "/n", none, K::dkRemote},
        {"davfs", "/n", none, K::dkRemote},
        {"afs", "/afs", none, K::dkRemote},
    };
    for (const auto& c : cases) {
        MountEntry m;
        m.FsType = c.Type;
        m.MountPoint = c.Point;
        EXPECT_EQ(ClassifyMount(m, c.Device), c.Kind) << c.Type << " " << c.Point;
    }
    for (const char* type : {"proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "mqueue", "debugfs",
                             "tracefs", "securityfs", "bpf", "pstore", "configfs", "fusectl", "autofs",
                             "binfmt_misc", "hugetlbfs", "fuse.gvfsd-fuse", "nsfs"}) {
        MountEntry m;
        m.FsType = type;
        m.MountPoint = "/x";
        EXPECT_EQ(ClassifyMount(m, none), K::dkOther) << type;
    }
}

TEST(MountClassify, UdevLabelEscapesAreDecoded)
{
    const std::pair<const char*, std::string> cases[] = {
        {"My\\x20Disk", "My Disk"}, {"a\\x2fb", "a/b"}, {"bad\\xZZ", "bad\\xZZ"}, {"end\\x2", "end\\x2"}};
    for (auto [in, out] : cases)
        EXPECT_EQ(DecodeUdevName(in), out) << in;
}

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
