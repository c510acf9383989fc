// Move to Trash: the item checked, the info file reserved and written, the
// rename and the look at what moved (sizetree/Trash.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <utility>

#include "sizetree/Trash.h"
#include "sizetree/TrashFolders.h"

namespace {

constexpr int kFolderOpen = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr size_t kLongestName = 255;  // bytes, as Linux file systems allow
const std::string kInfoEnding = ".trashinfo";
constexpr unsigned kMostTries = 100000;  // names tried before giving up

bool AsRecorded(const struct stat& st, const TrashRequest& r)
{
    return S_ISDIR(st.st_mode) == r.IsFolder && static_cast<uint64_t>(st.st_dev) == r.Device
        && static_cast<uint64_t>(st.st_ino) == r.Inode;
}

std::string ItemPathShown(const TrashRequest& r)
{
    const std::string folder = r.Folder.Path();
    return folder.ends_with('/') ? folder + r.Name : folder + "/" + r.Name;
}

// Looks at the item in its open folder: true when it is the recorded one.
bool ItemAsRecorded(int folderFd, const TrashRequest& r, TrashResult& result)
{
    struct stat st;
    if (r.Name.empty() || fstatat(folderFd, r.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        result = TrashResult::Refused(TrashFailure::ItemChanged, r.Name.empty() ? ENOENT : errno,
                                      ItemPathShown(r));
        return false;
    }
    if (!AsRecorded(st, r)) {
        result = TrashResult::Refused(TrashFailure::ItemChanged, 0, ItemPathShown(r));
        return false;
    }
    return true;
}

// Opens the item's folder by the checked walk and looks at the item there.
FolderFd OpenItemFolder(const TrashRequest& r, TrashResult& result)
{
    WalkResult walk = OpenWalk(r.Folder);
    if (walk.Refusal) {
        result = TrashResult::Refused(TrashFailure::FolderChanged, 0, r.Folder.PathAt(walk.Refusal->Depth));
        result.Walk = *walk.Refusal;
        return FolderFd();
    }
    if (!ItemAsRecorded(walk.Folder.Get(), r, result))
        return FolderFd();
    return std::move(walk.Folder);
}

// The item's absolute path: its folder as the kernel names it (no links, no
// ".."), or, beyond PATH_MAX, as the walk's plan names it.
std::string AbsoluteItemPath(int folderFd, const TrashRequest& r)
{
    std::string folder(PATH_MAX, '\0');
    const std::string link = "/proc/self/fd/" + std::to_string(folderFd);
    const ssize_t n = readlink(link.c_str(), folder.data(), folder.size());
    if (n > 0 && static_cast<size_t>(n) < folder.size() && folder[0] == '/') {
        folder.resize(static_cast<size_t>(n));
        if (!folder.ends_with(" (deleted)"))
            return folder.ends_with('/') ? folder + r.Name : folder + "/" + r.Name;
    }
    std::string shown = ItemPathShown(r);
    if (!shown.starts_with('/')) {
        char* cwd = get_current_dir_name();
        shown = std::string(cwd ? cwd : "") + "/" + shown;
        free(cwd);
    }
    return shown;
}

// The name in the trash for try n (1, 2, ...): the item's, then with ".n",
// shortened so that it fits with ".trashinfo" and is not cut inside a
// UTF-8 character.
std::string TrashName(const std::string& name, unsigned n)
{
    const std::string suffix = n < 2 ? std::string() : "." + std::to_string(n);
    const size_t room = kLongestName - kInfoEnding.size() - suffix.size();
    std::string base = name;
    if (base.size() > room) {
        size_t cut = room;
        while (cut > 1 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
            --cut;
        base.resize(cut);
    }
    return base + suffix;
}

std::string InfoText(const std::string& path)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + PercentEncodedPath(path) + "\nDeletionDate=" + date + "\n";
}

// Writes text to the new file `name` in folderFd, which must not exist;
// 0, or errno (EEXIST: the name is taken). A file half written goes again.
int WriteNewFile(int folderFd, const std::string& name, const std::string& text)
{
    const int fd = openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int err = 0;
    for (size_t done = 0; done < text.size() && err == 0;) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR)
            err = errno;
    }
    if (close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0)
        unlinkat(folderFd, name.c_str(), 0);
    return err;
}

// True when the folder filesFd or one of its ancestors on its file system
// is the item (a folder moved into itself).
bool TrashWithin(int filesFd, const TrashRequest& r)
{
    FolderFd at(openat(filesFd, ".", kFolderOpen));
    struct stat st;
    while (at && fstat(at.Get(), &st) == 0) {
        if (AsRecorded(st, r))
            return true;
        FolderFd up(openat(at.Get(), "..", kFolderOpen));
        struct stat above;
        if (!up || fstat(up.Get(), &above) != 0 || above.st_dev != st.st_dev || above.st_ino == st.st_ino)
            return false;
        at = std::move(up);
    }
    return false;
}

std::string Joined(const std::string& folder, const std::string& name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

}  // namespace

std::string PercentEncodedPath(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || c == '-' || c == '.'
            || c == '_' || c == '~' || c == '/') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

TrashRequest TrashRequestFor(const TTreeEntry& item, std::string dataHome)
{
    TrashRequest r;
    const bool file = item.IsListedFile();
    const TTreeEntry* folder = file ? &FolderOf(item) : item.Parent();
    r.Folder = PlanWalk(folder ? *folder : item);
    // Nothing else has a name to move (a root, a FILES entry, the smaller files).
    if (file || (folder && !item.IsFiles() && !item.IsSmallerFiles()))
        r.Name = item.Name();
    r.IsFolder = !file;
    r.Device = item.Device();
    r.Inode = item.Inode();
    r.DataHome = std::move(dataHome);
    return r;
}

TrashResult CheckTrashItem(const TrashRequest& request)
{
    TrashResult result;
    OpenItemFolder(request, result);
    return result;
}

TrashResult MoveToTrash(const TrashRequest& r)
{
    TrashResult result;
    const FolderFd folder = OpenItemFolder(r, result);
    if (!folder)
        return result;
    struct stat here;
    if (fstat(folder.Get(), &here) != 0)
        return TrashResult::Refused(TrashFailure::Failed, errno, r.Folder.Path());
    if (static_cast<uint64_t>(here.st_dev) != r.Device)
        return TrashResult::Refused(TrashFailure::MountPoint, 0, ItemPathShown(r));
    const std::string itemPath = AbsoluteItemPath(folder.Get(), r);
    const std::optional<TrashPlace> trash = OpenTrashFor(folder.Get(), here.st_dev, itemPath, r.DataHome,
                                                         result);
    if (!trash)
        return result;
    if (r.IsFolder && TrashWithin(trash->Files.Get(), r))
        return TrashResult::Refused(TrashFailure::TrashInside, 0, trash->Path);
    const std::string info = InfoText(
        trash->RelativeNames == 0 ? itemPath : TrailingNames(itemPath, trash->RelativeNames));
    const std::string files = Joined(trash->Path, "files");
    for (unsigned n = 1; n <= kMostTries; ++n) {
        const std::string name = TrashName(r.Name, n);
        const std::string infoName = name + kInfoEnding;
        if (const int err = WriteNewFile(trash->Info.Get(), infoName, info); err == EEXIST) {
            continue;
        } else if (err != 0) {
            return TrashResult::Refused(TrashFailure::Failed, err,
                                        Joined(Joined(trash->Path, "info"), infoName));
        }
        const auto dropInfo = [&] { unlinkat(trash->Info.Get(), infoName.c_str(), 0); };
        if (!ItemAsRecorded(folder.Get(), r, result)) {
            dropInfo();
            return result;
        }
        if (r.BeforeRename)
            r.BeforeRename();
        if (renameat2(folder.Get(), r.Name.c_str(), trash->Files.Get(), name.c_str(), RENAME_NOREPLACE)
            != 0) {
            const int err = errno;
            dropInfo();
            if (err == EEXIST)
                continue;
            return TrashResult::Refused(err == EINVAL ? TrashFailure::NoReplaceUnsupported
                                                      : TrashFailure::Failed,
                                        err, ItemPathShown(r));
        }
        // The name swapped for another item between the last look and the
        // rename: that one goes back.
        struct stat moved;
        if (fstatat(trash->Files.Get(), name.c_str(), &moved, AT_SYMLINK_NOFOLLOW) != 0
            || !AsRecorded(moved, r)) {
            if (renameat2(trash->Files.Get(), name.c_str(), folder.Get(), r.Name.c_str(), RENAME_NOREPLACE)
                != 0)
                return TrashResult::Refused(TrashFailure::NotMovedBack, errno, Joined(files, name));
            dropInfo();
            return TrashResult::Refused(TrashFailure::ItemChanged, 0, ItemPathShown(r));
        }
        result.TrashedAs = Joined(files, name);
        return result;
    }
    return TrashResult::Refused(TrashFailure::Failed, EEXIST, files);
}
