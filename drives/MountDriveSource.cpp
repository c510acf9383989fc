#include "drives/MountDriveSource.h"

#include "mounts/VisibleMounts.h"

std::vector<std::string> TMountDriveSource::Roots()
{
    mounts_.clear();
    std::vector<std::string> roots;
    for (MountEntry& e : VisibleMounts(ParseMountTable(system_.ReadMountTable()))) {
        roots.push_back(e.MountPoint);
        std::string key = e.MountPoint;
        mounts_.emplace(std::move(key), TMount{std::move(e), std::nullopt});
    }
    return roots;  // VisibleMounts gives byte-wise path order
}

TMountDriveSource::TMount* TMountDriveSource::Find(const std::string& root)
{
    const auto it = mounts_.find(root);
    return it == mounts_.end() ? nullptr : &it->second;
}

TDriveKind TMountDriveSource::KindOf(TMount& mount)
{
    if (mount.Kind)
        return *mount.Kind;
    const MountEntry& e = mount.Entry;
    // The kind of a remote mount follows from its type; its device is not asked.
    TDriveKind kind = IsRemoteType(e.FsType) ? TDriveKind::dkRemote : ClassifyMount(e, system_.Device(e));
    if ((kind == TDriveKind::dkFixed || kind == TDriveKind::dkRamDisk) && !system_.IsDirectory(e.MountPoint))
        kind = TDriveKind::dkOther;
    mount.Kind = kind;
    return kind;
}

TDriveKind TMountDriveSource::Kind(const std::string& root)
{
    TMount* m = Find(root);
    return m ? KindOf(*m) : TDriveKind::dkOther;
}

std::optional<std::string> TMountDriveSource::VolumeLabel(const std::string& root)
{
    TMount* m = Find(root);
    if (!m)
        return std::nullopt;
    const TDriveKind kind = KindOf(*m);
    if (kind == TDriveKind::dkRemote || kind == TDriveKind::dkRemovable || kind == TDriveKind::dkOther)
        return std::nullopt;
    return system_.Label(m->Entry);
}

std::optional<std::string> TMountDriveSource::ShareName(const std::string& root)
{
    TMount* m = Find(root);
    if (!m || KindOf(*m) != TDriveKind::dkRemote)
        return std::nullopt;
    const std::string& source = m->Entry.Source;
    if (source.empty() || source == "none")
        return std::nullopt;
    return source;
}
