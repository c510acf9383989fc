// The report's walk over a finished subtree, shared by the report printed at
// the end (sizetree/Report.h) and the pieces printed ahead of it
// (sizetree/ReportPieces.h). Internal to the size tree.
#pragma once

#include <ostream>
#include <string_view>

#include "sizetree/Report.h"
#include "sizetree/ReportPieces.h"
#include "sizetree/SizeTree.h"

// Where the walk's lines go.
class ReportLines {
public:
    virtual ~ReportLines() = default;
    virtual void Line(int level, std::string_view caption) = 0;
    // Lines written ahead (a piece's whole subtree).
    virtual void Text(ReportText&& text) = 0;
};

// Prints top's descendants (not top itself, at topDepth) depth first in tree
// order. With listFiles (options.Files), lists each FILES entry's files when
// its line is printed and drops them after; false when some folder could not
// be listed (one line each on err). With pieces, a subtree whose text was
// kept is written from it instead of walked.
bool PrintBelow(TSizeTree& tree, TTreeEntry& top, int topDepth, const ReportOptions& options,
                const FolderFilesLister* listFiles, ReportPieces* pieces, ReportLines& out,
                std::ostream& err);
