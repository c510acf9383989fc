#include "savedscan/ExportLister.h"

#include <sys/stat.h>

#include <functional>
#include <utility>

ReadAheadOptions ExportReadAheadOptions()
{
    // Listings now hold their files' names: half the bytes waiting, so the
    // export needs little more memory than the report.
    ReadAheadOptions options;
    options.MaxReadyBytes /= 2;
    options.ListStep = [](int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch) {
        FolderPlace named = place;
        named.NameFiles = true;
        ListFolder(fd, named, listing, scratch);
    };
    return options;
}

ExportLister::ExportLister(TFolderLister& inner, ScanWriter& writer, std::string rootName)
    : inner_(inner), writer_(writer), rootName_(std::move(rootName))
{
}

bool ExportLister::RootReady(const std::string& path, std::chrono::nanoseconds limit)
{
    return inner_.RootReady(path, limit);
}

bool ExportLister::Ready(const TSubfolder& sub, std::chrono::nanoseconds limit)
{
    return inner_.Ready(sub, limit);
}

void ExportLister::WriteOpened(const std::string& name, const TFolderListing& listing, uint64_t device,
                               bool hasDevice)
{
    writer_.OpenFolder(name, SavedFolderFacts{hasDevice, device, listing.Error != 0});
    open_.push_back(Open{&listing, device, 0, 0});
}

bool ExportLister::EnterRoot(const std::string& path, TFolderListing& listing)
{
    open_.clear();
    const bool entered = inner_.EnterRoot(path, listing);
    struct stat st;
    const bool known = stat(path.c_str(), &st) == 0;
    const uint64_t device = known ? static_cast<uint64_t>(st.st_dev) : 0;
    WriteOpened(rootName_, listing, device, known);
    if (!entered) {
        open_.pop_back();
        writer_.CloseFolder();
    }
    return entered;
}

void ExportLister::WriteFilesBefore(Open& top, size_t subfolder)
{
    const std::vector<TListedFile>& files = top.Listing->Files;
    for (; top.NextFile < files.size() && files[top.NextFile].Position <= subfolder; ++top.NextFile) {
        const TListedFile& f = files[top.NextFile];
        const bool elsewhere = f.Links > 1 && f.Device != top.Device;
        writer_.File(f.Name, SavedFileFacts{f.Size, f.DiskBytes, f.Links, f.Inode, elsewhere, f.Device});
    }
}

void ExportLister::WriteUpTo(Open& top, size_t end)
{
    const std::vector<TSubfolder>& subs = top.Listing->Subfolders;
    for (; top.NextSubfolder < end && top.NextSubfolder < subs.size(); ++top.NextSubfolder) {
        WriteFilesBefore(top, top.NextSubfolder);
        const TSubfolder& passed = subs[top.NextSubfolder];
        writer_.OtherFileSystem(passed.Name, passed.Device != top.Device ? passed.Device : 0);
    }
    WriteFilesBefore(top, end);
}

bool ExportLister::Enter(const TSubfolder& sub, TFolderListing& listing)
{
    const bool entered = inner_.Enter(sub, listing);
    if (open_.empty())
        return entered;
    Open& top = open_.back();
    // sub is an element of the listing the scan walks; found by place, or
    // else by name and inode from the next one on.
    const std::vector<TSubfolder>& subs = top.Listing->Subfolders;
    size_t at = subs.size();
    const std::less<const TSubfolder*> before;
    if (!subs.empty() && !before(&sub, subs.data()) && before(&sub, subs.data() + subs.size()))
        at = static_cast<size_t>(&sub - subs.data());
    for (size_t i = top.NextSubfolder; at == subs.size() && i < subs.size(); ++i)
        if (subs[i].Name == sub.Name && subs[i].Inode == sub.Inode)
            at = i;
    WriteUpTo(top, at);
    if (at < subs.size())
        top.NextSubfolder = at + 1;
    if (entered) {
        WriteOpened(sub.Name, listing, sub.Device, sub.Device != top.Device);
    } else if (listing.Error) {
        writer_.OpenFolder(sub.Name, SavedFolderFacts{false, 0, true});
        writer_.CloseFolder();
    } else {
        // Refused as a mount point when opened.
        writer_.OtherFileSystem(sub.Name, 0);
    }
    return entered;
}

void ExportLister::Leave()
{
    if (!open_.empty()) {
        Open& top = open_.back();
        WriteUpTo(top, SIZE_MAX);
        writer_.CloseFolder();
        open_.pop_back();
    }
    inner_.Leave();
}
