// FIFOs, sockets and device nodes are counted by their own size and never
// opened (inotify would see the open; a blocking open would hit the time
// limit); symbolic-link loops and links to "/" as roots and inside the tree.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostileSupport.h"
#include "ScanHelpers.h"
#include "TempTree.h"

namespace {

// Watches files for being opened or read.
class TOpenWatch {
public:
    TOpenWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~TOpenWatch()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    TOpenWatch(const TOpenWatch&) = delete;
    TOpenWatch& operator=(const TOpenWatch&) = delete;

    bool Watch(const std::string& path)
    {
        return fd_ >= 0 && inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_ACCESS | IN_DONT_FOLLOW) >= 0;
    }
    // Number of open or read events seen since the watches were set.
    int Events() const
    {
        alignas(inotify_event) char buf[4096];
        int n = 0;
        for (;;) {
            const ssize_t got = read(fd_, buf, sizeof buf);
            if (got <= 0)
                return n;
            for (ssize_t pos = 0; pos < got;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(buf + pos);
                n += (ev->mask & (IN_OPEN | IN_ACCESS)) != 0;
                pos += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            }
        }
    }

private:
    int fd_;
};

std::string Socket(const std::string& path)
{
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (s < 0 || path.size() >= sizeof addr.sun_path)
        return "";
    std::strcpy(addr.sun_path, path.c_str());
    const bool ok = bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(s);  // the socket file stays
    return ok ? path : "";
}

// Scans root in a child with a time limit: the folder "d" must hold
// expectedBytes in a FILES entry and nothing else.
std::string ScanSpecial(const std::string& root, double expectedBytes)
{
    return InChild(
        [&] {
            TScanned s(root);
            const TTreeEntry* d = Child(s.Root, "d");
            if (!d)
                return std::string("folder d missing");
            if (d->Size() != expectedBytes || d->ChildCount() != 1)
                return "d holds " + std::to_string(d->Size()) + " bytes in " + std::to_string(d->ChildCount())
                    + " children";
            return CheckFinished(s.Tree, s.Root);
        },
        30);
}

TEST(HostileSpecial, FifosAndSocketsAreNeverOpened)
{
    TTempTree t;
    t.Dir("d");
    t.File("d/data", 1000);
    std::vector<std::string> special = {t.Fifo("d/pipe"), t.Fifo("d/another pipe")};
    const std::string sock = Socket(t.Root() + "/d/sock");
    ASSERT_FALSE(sock.empty());
    special.push_back(sock);
    t.Link("pipe", "d/to-pipe");  // 4 bytes: a link counts its own size
    TOpenWatch watch;
    for (const std::string& p : special)
        ASSERT_TRUE(watch.Watch(p)) << p;
    EXPECT_EQ(ScanSpecial(t.Root(), 1000 + 4), "");
    EXPECT_EQ(watch.Events(), 0) << "a FIFO or socket was opened";

    const TBinaryRun run = RunBinary({"--report", t.Root()}, 30);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(watch.Events(), 0) << "the report opened a FIFO or socket";
}

// Character and block devices, also ones whose open would block or fail.
TEST(HostileSpecial, DeviceNodesAreNeverOpened)
{
    TTempTree t;
    t.Dir("d");
    t.File("d/data", 1000);
    struct TNodeSpec {
        const char* Name;
        mode_t Kind;
        unsigned Major, Minor;
    };
    const TNodeSpec nodes[] = {
        {"null", S_IFCHR, 1, 3}, {"zero", S_IFCHR, 1, 5},  {"tty", S_IFCHR, 5, 0},
        {"ptmx", S_IFCHR, 5, 2}, {"loop0", S_IFBLK, 7, 0}, {"nodisk", S_IFBLK, 259, 999},
    };
    TOpenWatch watch;
    for (const TNodeSpec& n : nodes) {
        const std::string path = t.Root() + "/d/" + n.Name;
        if (mknod(path.c_str(), n.Kind | 0666, makedev(n.Major, n.Minor)) != 0)
            GTEST_SKIP() << "cannot make device nodes here (" << std::strerror(errno)
                         << "): needs CAP_MKNOD on a file system without nodev";
        ASSERT_TRUE(watch.Watch(path)) << path;
    }
    EXPECT_EQ(ScanSpecial(t.Root(), 1000), "");
    EXPECT_EQ(watch.Events(), 0) << "a device node was opened";
    const TBinaryRun run = RunBinary({"--report", t.Root()}, 30);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(watch.Events(), 0) << "the report opened a device node";
}

// A root that is a link loop, or a FIFO, is refused by the report at once;
// links to "/" and loops inside the tree are counted as links, even 40 deep.
TEST(HostileSpecial, LinkLoopsAndLinksToSlash)
{
    TTempTree t;
    t.Link("loop-b", "loop-a");
    t.Link("loop-a", "loop-b");
    t.Fifo("fifo");
    for (const std::string bad : {"loop-a", "fifo"}) {
        const TBinaryRun run = RunBinary({"--report", t.Root() + "/" + bad}, 30);
        EXPECT_FALSE(run.TimedOut) << bad;
        EXPECT_EQ(run.Status, 2) << bad;
        EXPECT_EQ(run.Out, "") << bad;
        EXPECT_EQ(Lines(run.Err).size(), 1u) << bad << ": " << run.Err;
    }

    t.Dir("d");
    t.Link("/", "d/slash");
    t.Link("/proc/self/root", "d/proc-root");
    t.Link(t.Root(), "d/whole-tree");
    std::string previous = "../d";
    for (int i = 0; i < 40; ++i) {  // more than the kernel's follow limit
        const std::string name = "d/chain" + std::to_string(i);
        t.Link(previous, name);
        previous = "chain" + std::to_string(i);
    }
    const TBinaryRun run = RunBinary({"--report", t.Root()}, 30);
    ASSERT_FALSE(run.TimedOut);
    ASSERT_EQ(run.Status, 0) << run.Err;
    double linkBytes = 1 + 15 + static_cast<double>(t.Root().size()) + 4;
    for (int i = 1; i < 40; ++i)
        linkBytes += static_cast<double>(std::string("chain" + std::to_string(i - 1)).size());
    // d: its links; the root: the two loop links (6 bytes each), d.
    TScanned s(t.Root());
    ASSERT_NE(Child(s.Root, "d"), nullptr);
    EXPECT_EQ(Child(s.Root, "d")->Size(), linkBytes);
    EXPECT_EQ(s.Root->Size(), linkBytes + 12);
    const std::vector<std::string> expected = {
        t.Root(),
        "  " + SizeCaptionText(linkBytes) + " MB  d",
        "    " + SizeCaptionText(linkBytes) + " MB  [FILES]",
        "  " + SizeCaptionText(12) + " MB  [FILES]",
    };
    EXPECT_EQ(Lines(run.Out), expected);
}

}  // namespace
