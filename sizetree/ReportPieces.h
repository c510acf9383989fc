// The report's text of subtrees that have finished while the rest of the
// tree is still being built (a saved scan's, as its folders end): written
// while the subtree is fresh in the cache, after which its entries can go.
// PrintReport puts each piece where the subtree stands, so the report is
// byte for byte the one printed from the whole tree at the end.
//
// Protocol: on the thread that builds the tree, after PrepareReportTree:
// FolderDone(folder, depth) for folders below the root as each ends (sorted,
// captioned, its totals added to its parent's), children before their
// parents; then PrintReport(..., &pieces) once. Not for reports with Files
// (their listings need the finished tree). The entries below a folder whose
// text is kept are deleted from the tree; the folder itself stays. Text is
// kept only while it takes about the room of the entries it let go.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "sizetree/Report.h"
#include "sizetree/SizeTree.h"

// Report lines as written: indented, escaped, each ending in a newline. A
// list, so that a parent takes its children's pieces in constant time, at
// any depth.
struct ReportText {
    std::list<std::string> Pieces;
};

class ReportPieces {
public:
    ReportPieces(TSizeTree& tree, const ReportOptions& options);

    // depth: the folder's level below the root (1 for the root's children).
    void FolderDone(TTreeEntry& folder, int depth);
    // The text of entry's line and everything below it, when kept; moved
    // out. False when it was not kept.
    bool Take(const TTreeEntry& entry, ReportText& text);

private:
    TSizeTree& tree_;
    const ReportOptions& options_;
    std::unordered_map<const TTreeEntry*, ReportText> kept_;
    uint64_t keptBytes_ = 0;   // of text written into kept pieces
    uint64_t freedBytes_ = 0;  // of the entries deleted after
    // Per level: the text below the folders of the next level that ended
    // and were not kept, until their parent ends.
    std::vector<uint64_t> textBelow_;
};
