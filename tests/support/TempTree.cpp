#include "TempTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void Check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error("test tree: " + what);
}

// Makes the folders of path below root that are missing, up to path's parent.
void MakeParents(const std::string& root, const std::string& path)
{
    for (size_t slash = path.find('/', root.size() + 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        Check(mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST, "mkdir " + folder);
    }
}

// Removes everything under the folder fd refers to without going deeper than
// one level: subfolders are first moved up next to their parent. Keeps the
// number of open descriptors and the path length small for any depth.
void RemoveContents(int rootFd)
{
    std::vector<std::string> pending;  // folders directly under rootFd
    unsigned serial = 0;
    auto collect = [&](int dirFd, bool isRoot) {
        DIR* d = fdopendir(dup(dirFd));
        if (!d)
            return;
        std::vector<std::pair<std::string, bool>> entries;
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            struct stat st;
            if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            entries.emplace_back(name, S_ISDIR(st.st_mode));
        }
        closedir(d);
        for (auto& [name, isDir] : entries) {
            if (!isDir) {
                unlinkat(dirFd, name.c_str(), 0);
            } else if (isRoot) {
                pending.push_back(name);
            } else {
                std::string moved = ".rm" + std::to_string(serial++);
                if (renameat(dirFd, name.c_str(), rootFd, moved.c_str()) == 0)
                    pending.push_back(moved);
            }
        }
    };
    collect(rootFd, true);
    while (!pending.empty()) {
        std::string name = pending.back();
        pending.pop_back();
        fchmodat(rootFd, name.c_str(), 0700, 0);
        int fd = openat(rootFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            collect(fd, false);
            close(fd);
        }
        unlinkat(rootFd, name.c_str(), AT_REMOVEDIR);
    }
}

}  // namespace

TTempTree::TTempTree()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tallowin-test-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    Check(mkdtemp(buf.data()) != nullptr, "mkdtemp");
    root_ = buf.data();
    chmod(root_.c_str(), 0755);  // so that a test may look at it as another user
}

TTempTree::~TTempTree()
{
    int fd = open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        RemoveContents(fd);
        close(fd);
    }
    rmdir(root_.c_str());
}

std::string TTempTree::Path(const std::string& rel) const
{
    return rel.empty() ? root_ : root_ + "/" + rel;
}

std::string TTempTree::Dir(const std::string& rel) const
{
    std::string p = root_ + "/" + rel;
    MakeParents(root_, p);
    Check(mkdir(p.c_str(), 0755) == 0, "mkdir " + p);
    return p;
}

std::string TTempTree::File(const std::string& rel, uint64_t bytes) const
{
    std::string p = root_ + "/" + rel;
    MakeParents(root_, p);
    int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    Check(fd >= 0, "create " + p);
    Check(ftruncate(fd, static_cast<off_t>(bytes)) == 0, "truncate " + p);
    close(fd);
    return p;
}

std::string TTempTree::Link(const std::string& target, const std::string& rel) const
{
    std::string p = root_ + "/" + rel;
    Check(symlink(target.c_str(), p.c_str()) == 0, "symlink " + p);
    return p;
}

std::string TTempTree::HardLink(const std::string& existingRel, const std::string& rel) const
{
    std::string p = root_ + "/" + rel;
    Check(link((root_ + "/" + existingRel).c_str(), p.c_str()) == 0, "link " + p);
    return p;
}

std::string TTempTree::Fifo(const std::string& rel) const
{
    std::string p = root_ + "/" + rel;
    Check(mkfifo(p.c_str(), 0644) == 0, "mkfifo " + p);
    return p;
}

void TTempTree::Chain(const std::string& rel, int levels, const std::string& name,
                      uint64_t leafFileBytes) const
{
    int fd = open((root_ + "/" + rel).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(fd >= 0, "open " + rel);
    for (int i = 0; i < levels; ++i) {
        Check(mkdirat(fd, name.c_str(), 0755) == 0, "mkdirat");
        int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        Check(next >= 0, "openat");
        fd = next;
    }
    if (leafFileBytes > 0) {
        int f = openat(fd, "leaf", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        Check(f >= 0 && ftruncate(f, static_cast<off_t>(leafFileBytes)) == 0, "leaf");
        close(f);
    }
    close(fd);
}
