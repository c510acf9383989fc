// Builds the benchmark tree: sizetree_make_tree DIR [FOLDERS_PER_LEVEL]
// 10 x 10 x 10 folders, each of the 1,000 third-level folders holding 99
// leaf folders of 10 files and 10 loose files: 100,110 folders and 1,000,000
// files of 0 to 16,383 bytes (sparse, so the tree costs inodes, not data).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "XorShift.h"

namespace {

TXorShift sequence{88172645463325252ULL};

uint64_t Next()
{
    return sequence.Next();
}

bool Files(int dirFd, int count)
{
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%04d.dat", i);
        const int fd = openat(dirFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ftruncate(fd, static_cast<off_t>(Next() % 16384)) != 0)
            return false;
        close(fd);
    }
    return true;
}

int Folder(int parentFd, const char* prefix, int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", prefix, i);
    if (mkdirat(parentFd, name, 0755) != 0)
        return -1;
    return openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sizetree_make_tree DIR\n");
        return 2;
    }
    if (mkdir(argv[1], 0755) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    const int root = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool ok = root >= 0;
    for (int a = 0; ok && a < 10; ++a) {
        const int fa = Folder(root, "area", a);
        for (int b = 0; ok && fa >= 0 && b < 10; ++b) {
            const int fb = Folder(fa, "block", b);
            for (int c = 0; ok && fb >= 0 && c < 10; ++c) {
                const int fc = Folder(fb, "cell", c);
                ok = fc >= 0 && Files(fc, 10);
                for (int d = 0; ok && d < 99; ++d) {
                    const int fd = Folder(fc, "leaf", d);
                    ok = fd >= 0 && Files(fd, 10);
                    close(fd);
                }
                close(fc);
            }
            ok = ok && fb >= 0;
            close(fb);
        }
        ok = ok && fa >= 0;
        close(fa);
    }
    if (!ok) {
        std::perror("sizetree_make_tree");
        return 1;
    }
    return 0;
}
