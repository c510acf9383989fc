#include "drives/DriveList.h"

#include <algorithm>

#include "drives/AsciiCase.h"
#include "drives/PathPrefix.h"

namespace {

bool IsPath(std::string_view drive)
{
    return !drive.empty() && drive.front() == '/';
}

// The case of a label or name follows the case of the drive letter.
std::string CaseLikeLetter(std::string_view text, char letter)
{
    return letter >= 'a' ? AsciiLower(text) : AsciiUpper(text);
}

}  // namespace

bool IsLetterRoot(std::string_view root)
{
    return root.size() == 3 && IsAsciiLetter(root[0]) && root[1] == ':' && root[2] == '\\';
}

TDriveList::TDriveList(IDriveSource& source, std::string_view currentDir, TTextCase textCase)
    : source_(source), textCase_(textCase)
{
    // A directory on a network path ("\\server\share") has no drive.
    if (IsPath(currentDir))
        selected_ = std::string(currentDir);
    else if (!currentDir.empty() && currentDir.front() != '\\')
        selected_ = std::string(1, currentDir.front());
}

void TDriveList::RebuildDriveList()
{
    entries_.clear();
    mountPaths_.clear();
    selectedIndex_ = -1;
    for (const std::string& root : source_.Roots()) {
        std::string prefix, drive;
        TDriveKind kind;
        if (IsLetterRoot(root)) {
            char letter = AsciiLower(root[0]);
            kind = source_.Kind(std::string{letter, ':', '\\'});
            if (textCase_ == TTextCase::tcUpperCase)
                letter = AsciiUpper(letter);
            drive = std::string(1, letter);
            prefix = drive + ":";
        } else {
            mountPaths_.push_back(root);
            kind = source_.Kind(root);
            drive = root;
            prefix = root;
        }
        std::string caption;
        switch (kind) {
        case TDriveKind::dkRemovable:
            caption = prefix;  // never queried: an empty drive must not delay
            break;
        case TDriveKind::dkFixed:
        case TDriveKind::dkCdRom:
        case TDriveKind::dkRamDisk:
            caption = prefix + " " + VolumeCaption(drive);
            break;
        case TDriveKind::dkRemote:
            caption = prefix + " " + NetworkCaption(drive);
            break;
        case TDriveKind::dkOther:
        case TDriveKind::dkFolder:  // no source reports it
            continue;
        }
        entries_.push_back({std::move(caption), kind, std::move(drive)});
    }
    driveCount_ = entries_.size();
    AppendFolderEntries();
}

void TDriveList::SetFolderChoice(bool on)
{
    folderChoice_ = on;
    AppendFolderEntries();
}

// The chosen folders, each with the picture of the drive that holds it, then
// the dialog entry; after the drives, which stay as they are.
void TDriveList::AppendFolderEntries()
{
    entries_.resize(driveCount_);
    if (!folderChoice_)
        return;
    for (const std::string& folder : folders_) {
        const std::string root = ResolveMountPath(folder);
        TDriveKind image = TDriveKind::dkFolder;
        for (std::size_t i = 0; i < driveCount_; ++i)
            if (entries_[i].Drive == root)
                image = entries_[i].Image;
        entries_.push_back({folder, image, folder});
    }
    entries_.push_back({std::string(), TDriveKind::dkFolder, std::string()});
}

bool TDriveList::IsFolderDialogEntry(int index) const
{
    return folderChoice_ && index >= 0 && index + 1 == int(entries_.size())
        && std::size_t(index) >= driveCount_ + folders_.size();
}

std::string TDriveList::FolderDialogStart() const
{
    if (!folders_.empty())
        return folders_.front();
    return IsPath(selected_) ? selected_ : std::string();
}

bool TDriveList::AddFolder(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (!IsPath(path))
        return false;
    const bool listed = std::any_of(entries_.begin(), entries_.end(),
                                    [&](const TDriveEntry& e) { return e.Drive == path; });
    if (!listed) {
        folders_.insert(folders_.begin(), path);
        if (folders_.size() > MaxFolders)
            folders_.resize(MaxFolders);
        AppendFolderEntries();
    }
    return SelectDrive(path);
}

std::string TDriveList::VolumeCaption(std::string_view drive) const
{
    if (drive.empty())
        return "[]";
    if (IsPath(drive)) {
        std::string label = source_.VolumeLabel(std::string(drive)).value_or("");
        label = textCase_ == TTextCase::tcUpperCase ? AsciiUpper(label) : AsciiLower(label);
        return "[" + label + "]";
    }
    const char letter = drive.front();
    const std::string label = source_.VolumeLabel(std::string{letter, ':', '\\'}).value_or("");
    return "[" + CaseLikeLetter(label, letter) + "]";
}

std::string TDriveList::NetworkCaption(std::string_view drive) const
{
    if (drive.empty())
        return VolumeCaption(drive);
    if (IsPath(drive)) {
        // The share names a path on the server: its case is kept.
        if (auto share = source_.ShareName(std::string(drive)))
            return *share;
        return VolumeCaption(drive);
    }
    const char letter = drive.front();
    if (auto share = source_.ShareName(std::string{AsciiUpper(letter), ':'}))
        return CaseLikeLetter(*share, letter);
    return VolumeCaption(drive);
}

std::string TDriveList::ResolveMountPath(std::string_view path) const
{
    const std::string* best = nullptr;
    for (const std::string& root : mountPaths_)
        if (IsPathWithin(path, root) && (!best || root.size() > best->size()))
            best = &root;
    return best ? *best : std::string(path);
}

bool TDriveList::SelectDrive(std::string_view drive)
{
    // A chosen folder is selected as itself, not as the drive holding it.
    for (std::size_t i = driveCount_; i < entries_.size(); ++i)
        if (!entries_[i].Drive.empty() && entries_[i].Drive == drive) {
            const bool changed = selectedIndex_ < 0 || selected_ != drive;
            selected_ = std::string(drive);
            selectedIndex_ = int(i);
            return changed;
        }
    if (IsPath(drive)) {
        const std::string root = ResolveMountPath(drive);
        if (selectedIndex_ >= 0 && root == selected_)
            return false;
        selected_ = root;
        selectedIndex_ = -1;  // the box must never show another drive than the chosen one
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].Drive == root) {
                selectedIndex_ = int(i);
                break;
            }
        return true;
    }
    if (drive.empty()) {
        selected_.clear();
        selectedIndex_ = -1;
        return true;
    }
    char letter = drive.front();
    if (selectedIndex_ >= 0 && selected_.size() == 1 && AsciiLower(selected_.front()) == AsciiLower(letter))
        return false;
    letter = textCase_ == TTextCase::tcUpperCase ? AsciiUpper(letter) : AsciiLower(letter);
    selected_ = std::string(1, letter);
    selectedIndex_ = -1;  // the box must never show another drive than the chosen one
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string& c = entries_[i].Caption;
        if (c.size() >= 2 && AsciiLower(c[0]) == AsciiLower(letter) && c[1] == ':') {
            selectedIndex_ = int(i);
            break;
        }
    }
    return true;
}

bool TDriveList::PickEntry(int index)
{
    if (index < 0 || index >= int(entries_.size()) || IsFolderDialogEntry(index))
        return false;
    selectedIndex_ = index;  // the platform has already moved the selection
    return SelectDrive(entries_[std::size_t(index)].Drive);
}

bool TDriveList::SetTextCase(TTextCase value)
{
    textCase_ = value;
    const std::string remembered = selected_;
    RebuildDriveList();
    return SelectDrive(remembered);
}

void TDriveList::UpdateItemHeight(int textHeight)
{
    itemHeight_ = std::max(textHeight, MinItemHeight);
}
