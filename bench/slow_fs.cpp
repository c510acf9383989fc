// A read-only view of a folder that answers every request after a fixed
// delay, as a network file system answers after a round trip:
//
//   sizetree_slow_fs SOURCE MOUNTPOINT DELAY_MICROSECONDS [FUSE OPTIONS]
//
// Nothing is cached by the kernel (attribute, entry and negative timeouts
// are zero, folders are listed afresh), so every scan pays the delay on
// every lookup, attribute and listing request; requests that come in
// parallel are answered in parallel (the multi-threaded loop; pass
// -o max_threads=N for more than libfuse's default of 10). Inode numbers
// are passed through, so hard links still count once. bench/slow_fs.sh
// mounts it and times the scans; fusermount3 -u MOUNTPOINT ends it.
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

int sourceFd = -1;
long delayMicroseconds = 0;

void Delay(void)
{
    timespec ts{delayMicroseconds / 1000000, (delayMicroseconds % 1000000) * 1000};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
}

// The source-relative name of path ("/" is ".").
const char* Relative(const char* path)
{
    return path[1] == '\0' ? "." : path + 1;
}

void* Init(struct fuse_conn_info* conn, struct fuse_config* cfg)
{
    (void)conn;
    cfg->use_ino = 1;
    cfg->attr_timeout = 0;
    cfg->entry_timeout = 0;
    cfg->negative_timeout = 0;
    return nullptr;
}

int GetAttr(const char* path, struct stat* st, struct fuse_file_info* fi)
{
    (void)fi;
    Delay();
    return fstatat(sourceFd, Relative(path), st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : -errno;
}

int ReadLink(const char* path, char* buffer, size_t size)
{
    Delay();
    const ssize_t n = readlinkat(sourceFd, Relative(path), buffer, size - 1);
    if (n < 0)
        return -errno;
    buffer[n] = '\0';
    return 0;
}

int OpenDir(const char* path, struct fuse_file_info* fi)
{
    Delay();
    const int fd = openat(sourceFd, Relative(path), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        const int e = errno;
        close(fd);
        return -e;
    }
    fi->fh = reinterpret_cast<uintptr_t>(dir);
    return 0;
}

// The whole folder in one reply; the kernel asks again for the rest when
// its buffer is full (offsets are entry positions).
int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset, struct fuse_file_info* fi,
            enum fuse_readdir_flags flags)
{
    (void)path;
    (void)flags;
    Delay();
    DIR* dir = reinterpret_cast<DIR*>(fi->fh);
    rewinddir(dir);
    off_t position = 0;
    dirent* e;
    while ((e = readdir(dir)) != nullptr) {
        if (position++ < offset)
            continue;
        struct stat st {};
        st.st_ino = e->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(e->d_type));
        if (fill(buffer, e->d_name, &st, position, static_cast<fuse_fill_dir_flags>(0)))
            break;
    }
    return 0;
}

int ReleaseDir(const char* path, struct fuse_file_info* fi)
{
    (void)path;
    closedir(reinterpret_cast<DIR*>(fi->fh));
    return 0;
}

fuse_operations Operations()
{
    fuse_operations ops{};
    ops.getattr = GetAttr;
    ops.readlink = ReadLink;
    ops.opendir = OpenDir;
    ops.readdir = ReadDir;
    ops.releasedir = ReleaseDir;
    ops.init = Init;
    return ops;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: %s SOURCE MOUNTPOINT DELAY_MICROSECONDS [FUSE OPTIONS]\n", argv[0]);
        return 2;
    }
    sourceFd = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (sourceFd < 0) {
        perror(argv[1]);
        return 1;
    }
    delayMicroseconds = atol(argv[3]);
    // fuse_main sees: program, mount point, its options.
    char** args = static_cast<char**>(calloc(static_cast<size_t>(argc), sizeof *args));
    int n = 0;
    args[n++] = argv[0];
    args[n++] = argv[2];
    for (int i = 4; i < argc; ++i)
        args[n++] = argv[i];
    const fuse_operations ops = Operations();
    const int status = fuse_main(n, args, &ops, nullptr);
    free(args);
    close(sourceFd);
    return status;
}
