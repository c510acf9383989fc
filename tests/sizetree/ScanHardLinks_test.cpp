#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/DirLister.h"

namespace {

// The expected sizes, by a plain recursive walk in readdir order: every
// non-folder's lstat size, each inode once where the walk meets it first.
class TReferenceWalk {
public:
    std::map<std::string, double> SizeOf;  // folder path -> bytes

    double Walk(const std::string& path)
    {
        double total = 0;
        double loose = 0;
        DIR* d = opendir(path.c_str());
        if (!d)
            return SizeOf[path] = 0;
        std::vector<std::string> names;
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(d);
        for (const std::string& name : names) {
            const std::string p = path + "/" + name;
            struct stat st;
            if (lstat(p.c_str(), &st) != 0)
                continue;
            if (S_ISDIR(st.st_mode))
                total += Walk(p);
            else if (seen_.insert({st.st_dev, st.st_ino}).second)
                loose += static_cast<double>(st.st_size);
        }
        return SizeOf[path] = total + loose;
    }

private:
    std::set<std::pair<dev_t, ino_t>> seen_;
};

void Compare(const TTreeEntry* e, const std::string& path, const TReferenceWalk& ref, int& folders)
{
    ++folders;
    ASSERT_EQ(ref.SizeOf.count(path), 1u) << path;
    EXPECT_EQ(e->Size(), ref.SizeOf.at(path)) << path;
    for (int i = 0; i < e->ChildCount(); ++i) {
        const TTreeEntry* c = e->ChildAt(i);
        if (!c->Name().empty())
            Compare(c, path + "/" + c->Name(), ref, folders);
    }
}

TEST(ScanFolder, HardLinkedFilesCountOnceWhereFirstMet)
{
    TTempTree t;
    std::mt19937 rng(20261208);
    std::vector<std::string> dirs{""};
    std::vector<std::string> files;
    for (int i = 0; i < 60; ++i) {
        const std::string parent = dirs[rng() % dirs.size()];
        const std::string d = (parent.empty() ? "" : parent + "/") + "d" + std::to_string(i);
        t.Dir(d);
        dirs.push_back(d);
    }
    for (int i = 0; i < 300; ++i) {
        const std::string parent = dirs[rng() % dirs.size()];
        const std::string f = (parent.empty() ? "" : parent + "/") + "f" + std::to_string(i);
        if (!files.empty() && rng() % 3 == 0)
            t.HardLink(files[rng() % files.size()], f);
        else
            t.File(f, rng() % 3000000);
        files.push_back(f);
    }
    TScanned s(t.Root());
    TReferenceWalk ref;
    ref.Walk(t.Root());
    int folders = 0;
    Compare(s.Root, t.Root(), ref, folders);
    EXPECT_EQ(folders, 61);
}

// A second scan counts the linked files again: the memory is per scan.
TEST(ScanFolder, HardLinkMemoryIsPerScan)
{
    TTempTree t;
    t.Dir("a");
    t.Dir("b");
    t.File("a/x", 400000);
    t.HardLink("a/x", "b/y");
    t.HardLink("a/x", "z");
    for (int run = 0; run < 2; ++run) {
        TScanned s(t.Root());
        EXPECT_EQ(s.Root->Size(), 400000);
    }
}

}  // namespace

namespace {

void Lines(const TTreeEntry* e, std::string& out)
{
    for (int i = 0; i < e->ChildCount(); ++i) {
        const TTreeEntry* c = e->ChildAt(i);
        out += c->Caption() + "|" + std::to_string(c->Size()) + "|" + std::to_string(c->ImageIndex()) + "\n";
        Lines(c, out);
    }
}

// Where the system refuses statx the lister looks with fstatat: same tree.
TEST(ScanFolder, FstatatListingGivesTheSameTree)
{
    TTempTree t;
    t.Dir("a");
    t.Dir("a/b");
    t.File("a/x", 1234567);
    t.HardLink("a/x", "a/b/x2");
    t.File("a/b/y", 7654321);
    t.Link("a", "l");
    t.Fifo("a/p");
    std::string viaStatx, viaFstatat;
    for (bool useStatx : {true, false}) {
        TSizeTree tree;
        TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{t.Root(), 0, ""});
        DirLister lister(useStatx);
        ScanFolderWith(tree, root, TScanHooks{}, lister);
        Lines(root, useStatx ? viaStatx : viaFstatat);
    }
    EXPECT_EQ(viaStatx, viaFstatat);
    EXPECT_NE(viaStatx.find("       8.9 MB  a|8888888.000000|0"), std::string::npos) << viaStatx;
}

}  // namespace
