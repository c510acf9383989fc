#include "savedscan/SavedScan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "savedscan/JsonCursor.h"
#include "savedscan/ParseAhead.h"
#include "sizetree/Listing.h"
#include "sizetree/Scan.h"

namespace {

struct StopReading {};

}  // namespace

// Builds the tree as the scan would have (sizetree/Scan.cpp): subfolders in
// file order with provisional captions, the FILES entry last, each folder
// sorted when it ends; and notes where each folder's runs of items start.
class SavedTreeBuilder : public SavedScanSink {
public:
    SavedTreeBuilder(TSizeTree& tree, const SavedScanOptions& options, SavedFiles& files)
        : tree_(tree), options_(options), files_(files)
    {
        files_.runs_.emplace_back();  // index 0 means none
    }

    TTreeEntry* Root() const { return root_; }
    const SavedHeader& Header() const { return header_; }

    // The index made, ready for lookups: it reads text again.
    void KeepText(std::unique_ptr<SavedText> text)
    {
        files_.text_ = std::move(text);
        std::sort(files_.folders_.begin(), files_.folders_.end(),
                  [](const SavedFiles::FolderRuns& a, const SavedFiles::FolderRuns& b) {
                      return std::less<const TTreeEntry*>()(a.Folder, b.Folder);
                  });
    }

    void Header(const SavedHeader& header) override { header_ = header; }

    void FolderBegin(const SavedItem& info, uint64_t /*offset*/) override
    {
        if (options_.StopRequested && options_.StopRequested())
            throw StopReading();
        TTreeEntry* entry;
        uint64_t device = info.Device;
        if (frames_.empty()) {
            entry = root_ = tree_.AddChildEntry(nullptr, info.Name, TNode{info.Name, 0, std::string()});
        } else {
            Frame& parent = frames_.back();
            parent.InRun = false;
            entry = tree_.AddDerivedEntry(parent.Entry, info.Name + std::string(kProvisionalMark), info.Name,
                                          0, TPathKind::pkFolder);
            if (!info.HasDevice)
                device = parent.Device;
        }
        Frame& f = frames_.emplace_back();
        f.Entry = entry;
        f.Device = device;
        if (info.ReadError) {
            entry->SetReadError(kReadWhenSaved);
            if (options_.ReadFailed)
                options_.ReadFailed(*entry);
        }
    }

    void Files(const SavedFileRun& run) override
    {
        Frame& f = InRun(run.Offset);
        f.LooseBytes = SaturatingSum64(f.LooseBytes, run.Size);
        f.LooseDiskBytes = SaturatingSum64(f.LooseDiskBytes, run.DiskBytes);
        f.LooseFiles = SaturatingSum(f.LooseFiles, run.Files);
    }

    void Item(const SavedItem& item, uint64_t offset) override
    {
        Frame& f = InRun(offset);
        if (item.Excluded == ExcludedAs::Folder) {
            // Not entered, as a folder on another file system in a scan.
            TTreeEntry* child = tree_.AddDerivedEntry(f.Entry, item.Name + std::string(kProvisionalMark),
                                                      item.Name, 0, TPathKind::pkFolder);
            FinishSubfolder(tree_, child);
            return;
        }
        if (item.SeveralLinks()) {
            const FileId id{item.HasDevice ? item.Device : f.Device, item.Inode};
            if (!files_.firstLink_.emplace(id, offset).second)
                return;  // counted where it first appeared
        }
        f.LooseBytes = SaturatingSum64(f.LooseBytes, item.Size);
        f.LooseDiskBytes = SaturatingSum64(f.LooseDiskBytes, item.DiskBytes);
        f.LooseFiles = SaturatingSum(f.LooseFiles, 1);
    }

    void FolderEnd() override
    {
        Frame& f = frames_.back();
        TTreeEntry* entry = f.Entry;
        const double loose = static_cast<double>(f.LooseBytes);
        entry->SetSize(entry->Size() + loose);
        EntryCounts& counts = entry->Counts();
        counts.DiskBytes = SaturatingSum64(counts.DiskBytes, f.LooseDiskBytes);
        counts.Files = SaturatingSum(counts.Files, f.LooseFiles);
        if (f.LooseBytes > 0) {
            TTreeEntry* files = tree_.AddDerivedEntry(entry, std::string(kFilesName), std::string(), loose,
                                                      TPathKind::pkFiles);
            files->Counts().DiskBytes = f.LooseDiskBytes;
            files->Counts().Files = f.LooseFiles;
            tree_.SetCaption(files, FinalCaption(tree_, *files));
            tree_.SetImageIndex(files, 2);
        }
        tree_.SortChildren(entry);
        frames_.pop_back();
        if (!frames_.empty()) {
            frames_.back().InRun = false;
            FinishSubfolder(tree_, entry);
            if (options_.FolderDone)
                options_.FolderDone(*entry, static_cast<int>(frames_.size()));
        }
    }

private:
    struct Frame {
        TTreeEntry* Entry = nullptr;
        uint64_t Device = 0;
        uint64_t LooseBytes = 0;
        uint64_t LooseDiskBytes = 0;
        uint32_t LooseFiles = 0;
        uint32_t Record = UINT32_MAX;  // its FolderRuns, once it has a run
        uint32_t LastRun = 0;
        bool InRun = false;  // the last element was an item
    };

    // The open folder, its run of items noted as starting at offset unless
    // one is under way.
    Frame& InRun(uint64_t offset)
    {
        Frame& f = frames_.back();
        if (!f.InRun && options_.IndexFiles)
            StartRun(f, offset);
        f.InRun = true;
        return f;
    }

    void StartRun(Frame& f, uint64_t offset)
    {
        const auto run = static_cast<uint32_t>(files_.runs_.size());
        files_.runs_.push_back(SavedFiles::Run{offset, 0});
        if (f.Record == UINT32_MAX) {
            f.Record = static_cast<uint32_t>(files_.folders_.size());
            files_.folders_.push_back(SavedFiles::FolderRuns{f.Entry, f.Device, run});
        } else {
            files_.runs_[f.LastRun].Next = run;
        }
        f.LastRun = run;
    }

    TSizeTree& tree_;
    const SavedScanOptions& options_;
    SavedFiles& files_;
    SavedHeader header_;
    TTreeEntry* root_ = nullptr;
    std::vector<Frame> frames_;
};

namespace {

// plainText: the text of a plain input, read again where it lies; a packed
// one is copied as it is unpacked (in memory when it came from memory).
SavedScanResult Read(ScanInput& input, std::unique_ptr<SavedText> plainText, bool copyInMemory,
                     TSizeTree& tree, const SavedScanOptions& options)
{
    SavedScanResult result;
    auto files = std::make_shared<SavedFiles>();
    SavedTreeBuilder builder(tree, options, *files);
    try {
        result.Packing = input.Packing();
        std::unique_ptr<TextCopy> copy;
        if (options.IndexFiles && (result.Packing != ScanPacking::Plain || !plainText)) {
            copy = copyInMemory ? MakeMemoryCopy() : MakeFileCopy();
            input.SetCopy(copy.get());
        }
        JsonCursor cursor(input);
        ParseSavedScanAhead(cursor, builder);
        if (options.IndexFiles) {
            builder.KeepText(copy ? std::move(copy) : std::move(plainText));
            result.Files = std::move(files);
        }
        result.Root = builder.Root();
        result.Header = builder.Header();
        return result;
    } catch (const SavedScanFailure& failure) {
        result.Fault = failure.Fault();
    } catch (const StopReading&) {
        result.Stopped = true;
    }
    if (builder.Root())
        tree.DeleteEntry(builder.Root());
    return result;
}

}  // namespace

SavedScanResult ReadSavedScan(const std::string& file, TSizeTree& tree, const SavedScanOptions& options)
{
    // A pipe without a writer must not block the open; reads then block,
    // and end at once when nobody writes.
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || fcntl(fd, F_SETFL, 0) != 0) {
        SavedScanResult result;
        result.Fault = SavedScanFault{std::string(), 0, errno};
        if (fd >= 0)
            close(fd);
        return result;
    }
    ScanInput input(fd);
    // A plain file is read again where it lies; anything else from a copy.
    std::unique_ptr<SavedText> plain = S_ISREG(st.st_mode) && options.IndexFiles ? PlainFileText(fd)
                                                                                 : nullptr;
    SavedScanResult result = Read(input, std::move(plain), false, tree, options);
    close(fd);
    return result;
}

SavedScanResult ReadSavedScanBytes(std::string_view bytes, TSizeTree& tree, const SavedScanOptions& options)
{
    ScanInput input(bytes);
    return Read(input, PlainMemoryText(bytes), true, tree, options);
}
