#include "history/SavedSnapshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_set>
#include <vector>

#include "savedscan/JsonCursor.h"
#include "savedscan/ParseAhead.h"
#include "savedscan/ScanInput.h"
#include "savedscan/ScanParser.h"
#include "sizetree/LinkLedger.h"

namespace {

uint64_t Sum(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

FolderTotals& operator+=(FolderTotals& t, const FolderTotals& o)
{
    t.Apparent = Sum(t.Apparent, o.Apparent);
    t.Disk = Sum(t.Disk, o.Disk);
    return t;
}

constexpr uint32_t kNoFolder = UINT32_MAX;

// The folders in file order, then written out in name order.
class TotalsSink : public SavedScanSink {
public:
    explicit TotalsSink(const std::function<void(const std::string&)>& readFailed) : readFailed_(readFailed)
    {
    }

    void Header(const SavedHeader& header) override { header_ = header; }

    void FolderBegin(const SavedItem& info, uint64_t /*offset*/) override
    {
        uint64_t device = info.Device;
        if (open_.empty()) {
            rootPath_ = info.Name;
            Add(std::string_view(), kNoFolder);
        } else {
            Add(info.Name, open_.back().Folder);
            if (!info.HasDevice)
                device = open_.back().Device;
        }
        open_.push_back(Frame{static_cast<uint32_t>(folders_.size() - 1), device});
        if (info.ReadError && readFailed_)
            readFailed_(PathOf(open_.back().Folder));
    }

    void Files(const SavedFileRun& run) override
    {
        folders_[open_.back().Folder].Totals += FolderTotals{run.Size, run.DiskBytes};
    }

    void Item(const SavedItem& item, uint64_t /*offset*/) override
    {
        Frame& f = open_.back();
        if (item.Excluded == ExcludedAs::Folder) {
            Add(item.Name, f.Folder);  // not entered: empty
            return;
        }
        if (item.SeveralLinks()
            && !links_.insert(FileId{item.HasDevice ? item.Device : f.Device, item.Inode}).second)
            return;
        folders_[f.Folder].Totals += FolderTotals{item.Size, item.DiskBytes};
    }

    void FolderEnd() override
    {
        const uint32_t done = open_.back().Folder;
        open_.pop_back();
        if (!open_.empty())
            folders_[open_.back().Folder].Totals += folders_[done].Totals;
    }

    FolderSnapshot Snapshot() const
    {
        FolderSnapshot s(rootPath_, header_.HasTimestamp ? header_.Timestamp : 0);
        s.Reserve(folders_.size(), names_.size());
        // Each folder's subfolders from the file's order into name order,
        // depth first (no recursion); `pending` holds the levels' subfolders.
        std::vector<uint32_t> pending;
        struct Level {
            size_t Index;  // in the snapshot
            size_t Begin, Next, End;
        };
        std::vector<Level> levels;
        const auto byName = [this](uint32_t a, uint32_t b) { return Name(a) < Name(b); };
        const auto enter = [&](uint32_t folder, size_t index) {
            const size_t begin = pending.size();
            for (uint32_t c = folders_[folder].FirstChild; c != kNoFolder; c = folders_[c].NextSibling)
                pending.push_back(c);
            const auto from = pending.begin() + static_cast<ptrdiff_t>(begin);
            if (!std::is_sorted(from, pending.end(), byName))
                std::stable_sort(from, pending.end(), byName);
            levels.push_back(Level{index, begin, begin, pending.size()});
        };
        enter(0, s.Open(std::string_view(), folders_[0].Totals));
        while (!levels.empty()) {
            Level& top = levels.back();
            if (top.Next == top.End) {
                s.Close(top.Index);
                pending.resize(top.Begin);
                levels.pop_back();
                continue;
            }
            const uint32_t folder = pending[top.Next++];
            enter(folder, s.Open(Name(folder), folders_[folder].Totals));
        }
        return s;
    }

private:
    struct Folder {
        FolderTotals Totals;
        uint64_t NameOffset = 0;
        uint32_t NameLength = 0;
        uint32_t Parent = kNoFolder;
        uint32_t FirstChild = kNoFolder;  // in file order
        uint32_t LastChild = kNoFolder;
        uint32_t NextSibling = kNoFolder;
    };
    struct Frame {
        uint32_t Folder;
        uint64_t Device;
    };

    void Add(std::string_view name, uint32_t parent)
    {
        const auto index = static_cast<uint32_t>(folders_.size());
        Folder f;
        f.NameOffset = names_.size();
        f.NameLength = static_cast<uint32_t>(name.size());
        f.Parent = parent;
        names_.append(name);
        folders_.push_back(f);
        if (parent == kNoFolder)
            return;
        Folder& p = folders_[parent];
        if (p.LastChild == kNoFolder)
            p.FirstChild = index;
        else
            folders_[p.LastChild].NextSibling = index;
        p.LastChild = index;
    }

    std::string_view Name(uint32_t folder) const
    {
        return std::string_view(names_).substr(folders_[folder].NameOffset, folders_[folder].NameLength);
    }

    std::string PathOf(uint32_t folder) const
    {
        std::vector<uint32_t> chain;
        for (uint32_t at = folder; folders_[at].Parent != kNoFolder; at = folders_[at].Parent)
            chain.push_back(at);
        std::string path = rootPath_;
        for (size_t k = chain.size(); k-- > 0;) {
            if (path.empty() || path.back() != '/')
                path += '/';
            path += Name(chain[k]);
        }
        return path;
    }

    const std::function<void(const std::string&)>& readFailed_;
    SavedHeader header_;
    std::string rootPath_;
    std::vector<Folder> folders_;
    std::string names_;
    std::vector<Frame> open_;
    std::unordered_set<FileId, FileIdHash> links_;
};

}  // namespace

SavedSnapshot SnapshotOfSavedScan(const std::string& file,
                                  const std::function<void(const std::string&)>& readFailed)
{
    SavedSnapshot result;
    // A pipe without a writer must not block the open; reads then block.
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 || fcntl(fd, F_SETFL, 0) != 0) {
        result.Fault = SavedScanFault{std::string(), 0, errno};
        if (fd >= 0)
            close(fd);
        return result;
    }
    ScanInput input(fd);
    TotalsSink sink(readFailed);
    try {
        input.Packing();
        JsonCursor cursor(input);
        ParseSavedScanAhead(cursor, sink);
        result.Snapshot = sink.Snapshot();
    } catch (const SavedScanFailure& failure) {
        result.Fault = failure.Fault();
    }
    close(fd);
    return result;
}
