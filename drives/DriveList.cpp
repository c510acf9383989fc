#include "drives/DriveList.h"

#include <algorithm>

#include "drives/AsciiCase.h"
#include "drives/PathPrefix.h"

namespace tallowin::drives {

namespace {

bool IsPath(std::string_view drive) { return !drive.empty() && drive.front() == '/'; }

// The case of a label or name follows the case of the drive letter.
std::string CaseLikeLetter(std::string_view text, char letter) {
  return letter >= 'a' ? AsciiLower(text) : AsciiUpper(text);
}

}  // namespace

bool IsLetterRoot(std::string_view root) {
  return root.size() == 3 && IsAsciiLetter(root[0]) && root[1] == ':' && root[2] == '\\';
}

TDriveList::TDriveList(IDriveSource& source, std::string_view currentDir, TTextCase textCase)
    : source_(source), textCase_(textCase) {
  // A directory on a network path ("\\server\share") has no drive.
  if (IsPath(currentDir))
    selected_ = std::string(currentDir);
  else if (!currentDir.empty() && currentDir.front() != '\\')
    selected_ = std::string(1, currentDir.front());
}

void TDriveList::RebuildDriveList() {
  entries_.clear();
  mountPaths_.clear();
  selectedIndex_ = -1;
  for (const std::string& root : source_.Roots()) {
    std::string prefix, drive;
    TDriveKind kind;
    if (IsLetterRoot(root)) {
      char letter = AsciiLower(root[0]);
      kind = source_.Kind(std::string{letter, ':', '\\'});
      if (textCase_ == TTextCase::tcUpperCase) letter = AsciiUpper(letter);
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
        continue;
    }
    entries_.push_back({std::move(caption), kind, std::move(drive)});
  }
}

std::string TDriveList::VolumeCaption(std::string_view drive) const {
  if (drive.empty()) return "[]";
  if (IsPath(drive)) {
    std::string label = source_.VolumeLabel(std::string(drive)).value_or("");
    label = textCase_ == TTextCase::tcUpperCase ? AsciiUpper(label) : AsciiLower(label);
    return "[" + label + "]";
  }
  const char letter = drive.front();
  const std::string label = source_.VolumeLabel(std::string{letter, ':', '\\'}).value_or("");
  return "[" + CaseLikeLetter(label, letter) + "]";
}

std::string TDriveList::NetworkCaption(std::string_view drive) const {
  if (drive.empty()) return VolumeCaption(drive);
  if (IsPath(drive)) {
    // The share names a path on the server: its case is kept.
    if (auto share = source_.ShareName(std::string(drive))) return *share;
    return VolumeCaption(drive);
  }
  const char letter = drive.front();
  if (auto share = source_.ShareName(std::string{AsciiUpper(letter), ':'}))
    return CaseLikeLetter(*share, letter);
  return VolumeCaption(drive);
}

std::string TDriveList::ResolveMountPath(std::string_view path) const {
  const std::string* best = nullptr;
  for (const std::string& root : mountPaths_)
    if (IsPathWithin(path, root) && (!best || root.size() > best->size())) best = &root;
  return best ? *best : std::string(path);
}

bool TDriveList::SelectDrive(std::string_view drive) {
  if (IsPath(drive)) {
    const std::string root = ResolveMountPath(drive);
    if (selectedIndex_ >= 0 && root == selected_) return false;
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
  if (selectedIndex_ >= 0 && selected_.size() == 1 &&
      AsciiLower(selected_.front()) == AsciiLower(letter))
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

bool TDriveList::PickEntry(int index) {
  if (index < 0 || index >= int(entries_.size())) return false;
  selectedIndex_ = index;  // the platform has already moved the selection
  return SelectDrive(entries_[std::size_t(index)].Drive);
}

bool TDriveList::SetTextCase(TTextCase value) {
  textCase_ = value;
  const std::string remembered = selected_;
  RebuildDriveList();
  return SelectDrive(remembered);
}

void TDriveList::UpdateItemHeight(int textHeight) {
  itemHeight_ = std::max(textHeight, MinItemHeight);
}

}  // namespace tallowin::drives
