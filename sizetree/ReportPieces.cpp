#include "sizetree/ReportPieces.h"

#include <iostream>
#include <utility>

#include "sizetree/ReportText.h"
#include "sizetree/ReportWalk.h"

namespace {

// A folder with this many folders below it keeps its text even when its
// parent is not the root; smaller ones are written with their parent.
constexpr uint32_t kFoldersForPiece = 64;
// A kept text smaller than this goes into its parent's piece, bytes copied,
// rather than stand as a piece of its own.
constexpr size_t kPieceCopyBytes = 4096;
// Text kept beyond the room of the entries it let go: deep levels indent
// each line by two spaces a level, so a subtree's text can outgrow it.
constexpr uint64_t kSpareBytes = 4 << 20;

// Lines into a text: appended to its last piece while that is open.
class PieceLines : public ReportLines {
public:
    explicit PieceLines(ReportText& text) : text_(text) {}

    void Line(int level, std::string_view caption) override
    {
        std::string& piece = Open();
        const size_t before = piece.size();
        AppendReportLine(piece, level, caption);
        written_ += piece.size() - before;
        ++lines_;
    }

    void Text(ReportText&& kept) override
    {
        if (kept.Pieces.size() == 1 && kept.Pieces.front().size() < kPieceCopyBytes) {
            Open().append(kept.Pieces.front());
            return;
        }
        Close();
        text_.Pieces.splice(text_.Pieces.end(), kept.Pieces);
    }

    // Gives back the room a growing piece had over.
    void Close()
    {
        if (!open_)
            return;
        open_ = false;
        std::string& last = text_.Pieces.back();
        if (last.capacity() > last.size() + last.size() / 4)
            last.shrink_to_fit();
    }

    size_t Written() const { return written_; }  // bytes, by Line
    size_t Lines() const { return lines_; }

private:
    std::string& Open()
    {
        if (!open_) {
            text_.Pieces.emplace_back();
            open_ = true;
        }
        return text_.Pieces.back();
    }

    ReportText& text_;
    bool open_ = false;
    size_t written_ = 0;
    size_t lines_ = 0;
};

}  // namespace

ReportPieces::ReportPieces(TSizeTree& tree, const ReportOptions& options) : tree_(tree), options_(options)
{
}

void ReportPieces::FolderDone(TTreeEntry& folder, int depth)
{
    if (options_.Files || (options_.Depth >= 0 && depth > options_.Depth))
        return;
    // What its text would add to the kept text: its children's lines and the
    // text below its subfolders that was not kept (escapes not counted).
    const auto level = static_cast<size_t>(depth);
    if (textBelow_.size() < level + 2)
        textBelow_.resize(level + 2);
    uint64_t below = std::exchange(textBelow_[level + 1], 0);
    for (int i = 0; i < folder.ChildCount(); ++i)
        below += 2 * (level + 1) + folder.ChildAt(i)->Caption().size() + 1;
    const uint64_t added = 2 * level + folder.Caption().size() + 1 + below;
    if ((depth != 1 && folder.Counts().Folders < kFoldersForPiece)
        || keptBytes_ + added > kSpareBytes + freedBytes_) {
        textBelow_[level] += below;
        return;
    }
    ReportText text;
    PieceLines lines(text);
    lines.Line(depth, folder.Caption());
    // No listings here, so the walk has nothing to say on its error stream.
    PrintBelow(tree_, folder, depth, options_, nullptr, this, lines, std::cerr);
    lines.Close();
    keptBytes_ += lines.Written();
    freedBytes_ += (lines.Lines() - 1) * sizeof(TTreeEntry);
    while (folder.ChildCount() > 0)
        tree_.DeleteEntry(folder.ChildAt(folder.ChildCount() - 1));
    kept_[&folder] = std::move(text);
}

bool ReportPieces::Take(const TTreeEntry& entry, ReportText& text)
{
    if (kept_.empty())
        return false;
    const auto it = kept_.find(&entry);
    if (it == kept_.end())
        return false;
    text = std::move(it->second);
    kept_.erase(it);
    return true;
}
