#include "drives/LinuxMountSystem.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "drives/MountDriveSource.h"
#include "mounts/MountTable.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Kernel name of the block device under a mount ("sda1"), "" when none.
std::string DeviceName(const MountEntry& mount)
{
    std::error_code ec;
    if (mount.Major != 0) {
        const fs::path link = "/sys/dev/block/" + std::to_string(mount.Major) + ":"
            + std::to_string(mount.Minor);
        const fs::path target = fs::read_symlink(link, ec);
        if (!ec)
            return target.filename().string();
    }
    if (mount.Source.starts_with("/dev/")) {
        const fs::path node = fs::canonical(mount.Source, ec);
        if (!ec && fs::exists("/sys/class/block" / node.filename(), ec))
            return node.filename().string();
    }
    return {};
}

}  // namespace

std::string TLinuxMountSystem::ReadMountTable()
{
    std::string text;
    if (ReadOwnMountTable(text) != 0)
        text.clear();  // the list shows no mounts rather than a part of them
    return text;
}

TBlockDevice TLinuxMountSystem::Device(const MountEntry& mount)
{
    TBlockDevice d;
    const std::string name = DeviceName(mount);
    d.Exists = mount.Major != 0 || !name.empty();  // virtual file systems have 0:N
    if (name.empty())
        return d;
    std::error_code ec;
    fs::path dir = fs::canonical("/sys/class/block/" + name, ec);
    if (ec)
        return d;
    d.Usb = dir.string().find("/usb") != std::string::npos;
    if (fs::exists(dir / "partition", ec))
        dir = dir.parent_path();  // flags live on the disk
    d.Removable = ReadFirstLine(dir / "removable") == "1";
    d.Optical = dir.filename().string().starts_with("sr") || mount.Major == 11
        || ReadFirstLine(dir / "device" / "type") == "5";  // SCSI type 5: CD/DVD
    return d;
}

std::optional<std::string> TLinuxMountSystem::Label(const MountEntry& mount)
{
    const std::string name = DeviceName(mount);
    if (name.empty())
        return std::nullopt;
    std::error_code ec;
    for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path node = fs::canonical(it->path(), linkError);
        if (!linkError && node.filename() == name)
            return DecodeUdevName(it->path().filename().string());
    }
    return std::nullopt;
}

bool TLinuxMountSystem::IsDirectory(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

namespace {

// Owns the system access together with the source that reads through it.
class TLinuxDriveSource : public IDriveSource {
public:
    std::vector<std::string> Roots() override { return source_.Roots(); }
    TDriveKind Kind(const std::string& root) override { return source_.Kind(root); }
    std::optional<std::string> VolumeLabel(const std::string& root) override
    {
        return source_.VolumeLabel(root);
    }
    std::optional<std::string> ShareName(const std::string& root) override { return source_.ShareName(root); }

private:
    TLinuxMountSystem system_;
    TMountDriveSource source_{system_};
};

}  // namespace

std::unique_ptr<IDriveSource> MakeLinuxDriveSource()
{
    return std::make_unique<TLinuxDriveSource>();
}
