#include "history/ScanStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "history/SnapshotFile.h"
#include "sizetree/EntryWalk.h"

namespace {

constexpr const char* kSuffix = ".tlscan";
constexpr const char* kTempSuffix = ".tmp";
constexpr size_t kPrefixLength = 17;  // 16 hex digits and "-"
// Roots with longer paths are not remembered: a header is read whole with
// its fixed part.
constexpr size_t kLongestRootPath = 4096;
constexpr size_t kHeaderReadBytes = kSnapshotHeaderBytes + kLongestRootPath;
constexpr time_t kStaleTempSeconds = 3600;

std::string RootPrefix(const std::string& rootPath)
{
    uint64_t h = 14695981039346656037ULL;  // FNV-1a
    for (const unsigned char c : rootPath) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    char text[kPrefixLength + 1];
    std::snprintf(text, sizeof text, "%016llx-", static_cast<unsigned long long>(h));
    return text;
}

bool EndsWith(const std::string& s, const char* tail)
{
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool IsHex(const std::string& s, size_t from, size_t n)
{
    return s.size() >= from + n
        && std::all_of(s.begin() + static_cast<ptrdiff_t>(from), s.begin() + static_cast<ptrdiff_t>(from + n),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// A remembered scan's name: its root's prefix, anything, the suffix.
bool IsScanName(const std::string& name)
{
    return IsHex(name, 0, 16) && name[16] == '-' && EndsWith(name, kSuffix)
        && name.size() > kPrefixLength + std::strlen(kSuffix);
}

bool IsTempName(const std::string& name)
{
    return name.size() > 1 && name[0] == '.' && IsHex(name, 1, 16) && EndsWith(name, kTempSuffix);
}

std::string RandomPart()
{
    unsigned char bytes[6];
    ssize_t got = getrandom(bytes, sizeof bytes, GRND_NONBLOCK);
    if (got != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy yet (early boot): the clock and the process make it unique enough.
        const uint64_t mix = static_cast<uint64_t>(clock()) ^ static_cast<uint64_t>(getpid()) << 20
            ^ static_cast<uint64_t>(time(nullptr)) << 32;
        for (size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = static_cast<unsigned char>(mix >> (8 * i));
    }
    char text[2 * sizeof bytes + 1];
    for (size_t i = 0; i < sizeof bytes; ++i)
        std::snprintf(text + 2 * i, 3, "%02x", bytes[i]);
    return text;
}

StoreFailure Failed(const char* step, std::string path, int e)
{
    return StoreFailure{step, std::move(path), e, std::string()};
}

// Makes folder and its missing parents, each new one with mode 0700.
int MakeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) == 0) {
            if (chmod(part.c_str(), 0700) != 0)  // whatever the umask took away
                return errno;
        } else if (errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos)
            return 0;
    }
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Up to max bytes of the file from its start; errno in *error.
std::string ReadPrefix(int fd, size_t max, int* error)
{
    std::string bytes;
    *error = 0;
    size_t done = 0;
    while (done < max) {
        bytes.resize(std::min(max, done + (size_t{1} << 20)));
        const ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = errno;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

// One file of the folder, as the dropping sees it.
struct StoredFile {
    std::string Name;
    uint64_t Bytes = 0;
    int64_t Time = 0;  // scan time; modification time when unreadable
    std::string RootPath;
    uint64_t Folders = 0;
    bool Readable = false;
    std::string Fault;  // why not readable
};

std::vector<StoredFile> StoredFiles(int dirFd, std::vector<std::string>* staleTemps)
{
    std::vector<StoredFile> files;
    const int listFd = dup(dirFd);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            close(listFd);
        return files;
    }
    const time_t now = time(nullptr);
    while (const dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        const bool temp = IsTempName(name);
        if (!temp && !IsScanName(name))
            continue;
        const int fd = openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        struct stat st;
        if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (fd >= 0)
                close(fd);
            continue;
        }
        if (temp) {
            if (now - st.st_mtime > kStaleTempSeconds)
                staleTemps->push_back(name);
            close(fd);
            continue;
        }
        StoredFile f;
        f.Name = name;
        f.Bytes = static_cast<uint64_t>(st.st_size);
        f.Time = st.st_mtime;
        int error = 0;
        const SnapshotHeaderResult header = ReadSnapshotHeader(ReadPrefix(fd, kHeaderReadBytes, &error));
        close(fd);
        if (header.Header) {
            f.Readable = true;
            f.Time = header.Header->ScanTime;
            f.RootPath = header.Header->RootPath;
            f.Folders = header.Header->Folders;
        } else {
            f.Fault = error ? std::strerror(error) : header.Fault.Reason;
        }
        files.push_back(std::move(f));
    }
    closedir(dir);
    return files;
}

bool Older(const StoredFile& a, const StoredFile& b)
{
    return a.Time != b.Time ? a.Time < b.Time : a.Name < b.Name;
}

}  // namespace

ScanStore::ScanStore(std::string folder, StoreLimits limits) : folder_(std::move(folder)), limits_(limits)
{
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

std::optional<std::string> ScanStore::DefaultFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tallowin/scans";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/') {
        home = h;
    } else {
        passwd pw;
        passwd* found = nullptr;
        std::string buffer(16384, '\0');
        if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && pw.pw_dir
            && pw.pw_dir[0] == '/')
            home = pw.pw_dir;
    }
    if (home.empty())
        return std::nullopt;
    if (home.back() != '/')
        home += '/';
    return home + ".local/state/tallowin/scans";
}

RememberResult ScanStore::Remember(const FolderSnapshot& snapshot) const
{
    RememberResult result;
    std::string bytes;
    try {
        bytes = EncodeSnapshot(snapshot);
    } catch (const std::bad_alloc&) {
        result.Failure = Failed("encode", folder_, ENOMEM);
        return result;
    }
    if (snapshot.RootPath().size() > kLongestRootPath) {
        result.Failure = Failed("write", folder_, ENAMETOOLONG);
        return result;
    }
    if (bytes.size() > limits_.TotalBytes) {
        result.Failure = StoreFailure{"write", folder_, EFBIG,
                                      "the scan takes " + std::to_string(bytes.size())
                                          + " bytes, more than all remembered scans may"};
        return result;
    }
    if (const int e = MakeFolders(folder_)) {
        result.Failure = Failed("make folder", folder_, e);
        return result;
    }
    const FolderFd dir(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) {
        result.Failure = Failed("open folder", folder_, errno);
        return result;
    }
    // One writer at a time drops files, across processes too.
    while (flock(dir.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            result.Failure = Failed("lock folder", folder_, errno);
            return result;
        }
    }
    const std::string stem = RootPrefix(snapshot.RootPath()) + std::to_string(snapshot.ScanTime()) + "-";
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temp = "." + stem + RandomPart() + kTempSuffix;
        fd = openat(dir.Get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        result.Failure = Failed("create", folder_ + "/" + temp, errno);
        return result;
    }
    const char* step = nullptr;
    if (fchmod(fd, 0600) != 0)
        step = "set mode";
    else if (!WriteAll(fd, bytes))
        step = "write";
    else if (fsync(fd) != 0)
        step = "sync";
    int e = step ? errno : 0;
    if (close(fd) != 0 && !step) {
        step = "write";
        e = errno;
    }
    std::string final = temp.substr(1, temp.size() - 1 - std::strlen(kTempSuffix)) + kSuffix;
    if (!step) {
        int renamed = renameat2(dir.Get(), temp.c_str(), dir.Get(), final.c_str(), RENAME_NOREPLACE);
        if (renamed != 0 && errno == EINVAL)  // a file system without it: the random part keeps names apart
            renamed = renameat(dir.Get(), temp.c_str(), dir.Get(), final.c_str());
        if (renamed != 0) {
            step = "rename";
            e = errno;
        }
    }
    if (step) {
        unlinkat(dir.Get(), temp.c_str(), 0);
        result.Failure = Failed(step, folder_ + "/" + (std::strcmp(step, "rename") == 0 ? final : temp), e);
        return result;
    }
    if (fsync(dir.Get()) != 0) {
        result.Failure = Failed("sync folder", folder_, errno);
        unlinkat(dir.Get(), final.c_str(), 0);
        return result;
    }
    result.File = final;

    // Drop the oldest beyond the bounds, never the one just written.
    std::vector<std::string> staleTemps;
    std::vector<StoredFile> files = StoredFiles(dir.Get(), &staleTemps);
    std::sort(files.begin(), files.end(),
              [](const StoredFile& a, const StoredFile& b) { return Older(b, a); });
    std::vector<std::string> drop = staleTemps;
    const size_t perRoot = std::max<size_t>(1, limits_.PerRoot);
    size_t sameRoot = 0;
    uint64_t total = 0;
    std::vector<const StoredFile*> kept;  // newest first
    for (const StoredFile& f : files) {
        const bool mine = f.Name == final;
        if (!mine && f.Readable && f.RootPath == snapshot.RootPath() && sameRoot + 1 >= perRoot) {
            drop.push_back(f.Name);
            continue;
        }
        if (f.Readable && f.RootPath == snapshot.RootPath() && !mine)
            ++sameRoot;
        kept.push_back(&f);
        total += f.Bytes;
    }
    for (size_t i = kept.size(); i-- > 0 && total > limits_.TotalBytes;) {
        if (kept[i]->Name == final)
            continue;
        drop.push_back(kept[i]->Name);
        total -= kept[i]->Bytes;
    }
    for (const std::string& name : drop) {
        if (unlinkat(dir.Get(), name.c_str(), 0) == 0 || errno == ENOENT)
            result.Dropped.push_back(name);
        else
            result.DropFailures.push_back(Failed("remove", folder_ + "/" + name, errno));
    }
    return result;
}

RememberedList ScanStore::List(const std::string& rootPath) const
{
    RememberedList list;
    const FolderFd dir(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) {
        if (errno != ENOENT)
            list.Failure = Failed("open folder", folder_, errno);
        return list;
    }
    const std::string prefix = RootPrefix(rootPath);
    std::vector<std::string> staleTemps;
    for (StoredFile& f : StoredFiles(dir.Get(), &staleTemps)) {
        if (f.Name.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (!f.Readable) {
            list.Skipped.push_back(SkippedScan{f.Name, f.Fault});
            continue;
        }
        if (f.RootPath != rootPath)
            continue;  // another root whose name starts alike
        list.Scans.push_back(RememberedScan{f.Name, f.RootPath, f.Time, f.Folders, f.Bytes});
    }
    std::sort(list.Scans.begin(), list.Scans.end(), [](const RememberedScan& a, const RememberedScan& b) {
        return a.ScanTime != b.ScanTime ? a.ScanTime > b.ScanTime : a.File > b.File;
    });
    return list;
}

RememberedRead ScanStore::Read(const std::string& file) const
{
    RememberedRead read;
    const std::string path = folder_ + "/" + file;
    if (file.empty() || file.find('/') != std::string::npos || file == "." || file == "..") {
        read.Failure = StoreFailure{"open", path, EINVAL, "not a file of the store"};
        return read;
    }
    const FolderFd dir(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) {
        read.Failure = Failed("open folder", folder_, errno);
        return read;
    }
    const FolderFd fd(openat(dir.Get(), file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st;
    if (!fd || fstat(fd.Get(), &st) != 0) {
        read.Failure = Failed("open", path, errno);
        return read;
    }
    if (!S_ISREG(st.st_mode)) {
        read.Failure = StoreFailure{"open", path, 0, "not a regular file"};
        return read;
    }
    int error = 0;
    std::string bytes;
    try {
        bytes = ReadPrefix(fd.Get(), static_cast<size_t>(st.st_size), &error);
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (error) {
        read.Failure = Failed("read", path, error);
        return read;
    }
    SnapshotDecodeResult decoded;
    try {
        decoded = DecodeSnapshot(bytes);
    } catch (const std::bad_alloc&) {
        read.Failure = Failed("read", path, ENOMEM);
        return read;
    }
    if (!decoded.Snapshot) {
        read.Failure = StoreFailure{"read", path, 0, decoded.Fault.Reason};
        return read;
    }
    read.Snapshot = std::move(decoded.Snapshot);
    return read;
}
