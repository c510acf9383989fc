// The remembered scans in a private $XDG_STATE_HOME: the bounds (five per
// root, the bytes of all, oldest first), damaged and foreign files, modes,
// and no partial file under a final name.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "TempTree.h"
#include "history/ScanStore.h"

namespace {

class PrivateState {
public:
    explicit PrivateState(const std::string& path)
    {
        if (const char* v = std::getenv("XDG_STATE_HOME"))
            saved_ = v;
        had_ = std::getenv("XDG_STATE_HOME") != nullptr;
        setenv("XDG_STATE_HOME", path.c_str(), 1);
    }
    ~PrivateState()
    {
        if (had_)
            setenv("XDG_STATE_HOME", saved_.c_str(), 1);
        else
            unsetenv("XDG_STATE_HOME");
    }

private:
    std::string saved_;
    bool had_ = false;
};

// A root with `folders` subfolders named by number, at time.
FolderSnapshot Made(const std::string& root, int64_t time, size_t folders = 3)
{
    FolderSnapshot s(root, time);
    const size_t top = s.Open("", {folders * 100, folders * 4096});
    std::set<std::string> names;
    for (size_t i = 0; i < folders; ++i)
        names.insert(std::to_string(i * 7919 % 1000003));
    for (const std::string& name : names)
        s.Close(s.Open(name, {100, 4096}));
    s.Close(top);
    return s;
}

std::vector<int64_t> Times(const ScanStore& store, const std::string& root)
{
    std::vector<int64_t> times;
    for (const RememberedScan& r : store.List(root).Scans)
        times.push_back(r.ScanTime);
    return times;
}

std::set<std::string> NamesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

TEST(ScanStore, KeepsFivePerRootAndTheBytesOfAllOldestFirst)
{
    TTempTree t;
    const PrivateState state(t.Path("state"));
    const std::optional<std::string> folder = ScanStore::DefaultFolder();
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, t.Path("state") + "/tallowin/scans");
    const ScanStore store(*folder);
    EXPECT_EQ(Times(store, "/a"), std::vector<int64_t>{});
    // (root, time) written in turn, then the times each root keeps, newest first.
    const struct {
        const char* Root;
        int64_t Time;
        std::vector<int64_t> A, B;
    } steps[] = {
        {"/a", 1, {1}, {}},
        {"/a", 2, {2, 1}, {}},
        {"/b", 3, {2, 1}, {3}},
        {"/a", 4, {4, 2, 1}, {3}},
        {"/a", 5, {5, 4, 2, 1}, {3}},
        {"/a", 6, {6, 5, 4, 2, 1}, {3}},
        {"/a", 7, {7, 6, 5, 4, 2}, {3}},
        {"/a", 8, {8, 7, 6, 5, 4}, {3}},
        {"/a", 3, {8, 7, 6, 5, 3}, {3}},  // the one just written always stays
    };
    const mode_t mask = umask(0277);  // modes are set, whatever the mask takes away
    for (const auto& s : steps) {
        const RememberResult r = store.Remember(Made(s.Root, s.Time));
        ASSERT_FALSE(r.Failure) << r.Failure->Step << " " << r.Failure->Errno;
        EXPECT_EQ(Times(store, "/a"), s.A) << s.Root << s.Time;
        EXPECT_EQ(Times(store, "/b"), s.B) << s.Root << s.Time;
    }
    umask(mask);
    // Modes: the files 0600, the folders made 0700.
    struct stat st;
    ASSERT_EQ(stat((*folder + "/" + store.List("/b").Scans[0].File).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    for (const std::string& f : {t.Path("state"), t.Path("state/tallowin"), *folder}) {
        ASSERT_EQ(stat(f.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0700u) << f;
    }

    // All files together at most about two and a half files' bytes.
    const uint64_t one = store.List("/b").Scans[0].Bytes;
    const ScanStore small(t.Path("small"), StoreLimits{5, one * 5 / 2});
    const struct {
        const char* Root;
        int64_t Time;
        std::vector<int64_t> A, B, C;
    } total[] = {
        {"/a", 1, {1}, {}, {}},
        {"/b", 2, {1}, {2}, {}},
        {"/a", 3, {3}, {2}, {}},
        {"/c", 4, {3}, {}, {4}},
    };
    for (const auto& s : total) {
        ASSERT_FALSE(small.Remember(Made(s.Root, s.Time)).Failure);
        EXPECT_EQ(Times(small, "/a"), s.A) << s.Root << s.Time;
        EXPECT_EQ(Times(small, "/b"), s.B) << s.Root << s.Time;
        EXPECT_EQ(Times(small, "/c"), s.C) << s.Root << s.Time;
    }
    // One scan larger than all may take: refused, nothing dropped.
    const RememberResult big = small.Remember(Made("/a", 9, 5000));
    ASSERT_TRUE(big.Failure);
    EXPECT_EQ(big.Failure->Errno, EFBIG);
    EXPECT_EQ(Times(small, "/a"), std::vector<int64_t>{3});
    // Nor a root whose path a listing would not read whole.
    EXPECT_EQ(small.Remember(Made("/" + std::string(5000, 'x'), 9)).Failure->Errno, ENAMETOOLONG);
}

TEST(ScanStore, DamagedFilesAreSkippedWithAReasonForeignOnesLeftAlone)
{
    TTempTree t;
    const ScanStore store(t.Path("scans"));
    for (int64_t time : {1, 2, 3})
        ASSERT_FALSE(store.Remember(Made("/a", time)).Failure);
    const std::vector<RememberedScan> scans = store.List("/a").Scans;
    ASSERT_EQ(scans.size(), 3u);
    ASSERT_EQ(truncate(t.Path("scans/" + scans[0].File).c_str(), 20), 0);
    {
        std::fstream f(t.Path("scans/" + scans[1].File), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(scans[1].Bytes - 6));
        f.put('\x55');
    }
    std::ofstream(t.Path("scans/notes.txt")) << "mine";
    std::ofstream(t.Path("scans/" + scans[0].File.substr(0, 17) + "x.tlscan")) << "hello";
    const std::string oldTemp = t.File("scans/.0123456789abcdef-1-aaaaaa.tmp", 10);
    const std::string newTemp = t.File("scans/.0123456789abcdef-1-bbbbbb.tmp", 10);
    const timespec hoursAgo[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, oldTemp.c_str(), hoursAgo, 0), 0);

    const RememberedList list = store.List("/a");
    ASSERT_EQ(list.Scans.size(), 2u);  // the body is looked at when read
    EXPECT_EQ(list.Scans[0].File, scans[1].File);
    ASSERT_EQ(list.Skipped.size(), 2u);
    for (const SkippedScan& s : list.Skipped)
        EXPECT_EQ(s.Reason, s.File == scans[0].File ? "truncated header" : "not a remembered scan") << s.File;
    const RememberedRead damaged = store.Read(scans[1].File);
    ASSERT_TRUE(damaged.Failure);
    EXPECT_EQ(damaged.Failure->Reason.rfind("damaged body", 0), 0u) << damaged.Failure->Reason;
    const RememberedRead good = store.Read(scans[2].File);
    ASSERT_TRUE(good.Snapshot);
    EXPECT_EQ(good.Snapshot->Count(), 4u);
    EXPECT_TRUE(store.Read("../x").Failure);

    ASSERT_FALSE(store.Remember(Made("/b", 4)).Failure);
    const std::set<std::string> names = NamesIn(t.Path("scans"));
    EXPECT_TRUE(names.count("notes.txt"));
    EXPECT_TRUE(names.count(".0123456789abcdef-1-bbbbbb.tmp"));
    EXPECT_FALSE(names.count(".0123456789abcdef-1-aaaaaa.tmp"));
}

// A write that fails midway (the file size limit) leaves nothing behind:
// no file under a final name, no temporary file; the failure says where.
TEST(ScanStore, AFailedWriteLeavesNoPartialFile)
{
    TTempTree t;
    const ScanStore store(t.Path("scans"));
    ASSERT_FALSE(store.Remember(Made("/a", 1)).Failure);
    const std::set<std::string> before = NamesIn(t.Path("scans"));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit low = old;
    low.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    const RememberResult r = store.Remember(Made("/a", 2, 20000));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(r.Failure);
    EXPECT_EQ(r.Failure->Step, "write");
    EXPECT_EQ(r.Failure->Errno, EFBIG);
    EXPECT_EQ(NamesIn(t.Path("scans")), before);
    EXPECT_EQ(Times(store, "/a"), std::vector<int64_t>{1});
}

}  // namespace
