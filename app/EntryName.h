// How the window names an entry: the "[N smaller files]" entry, which the
// size tree names in English, in the user's language; others as they are.
//
// Protocol: pure functions of the entry and the installed translation; UI
// thread. The tree keeps its names and captions as bytes (the report prints
// them so); only what the window shows is translated.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

class TTreeEntry;

// "[N smaller files]", translated.
QString SmallerFilesText(uint64_t count);
// The entry's name as shown: "[FILES]" for a FILES entry, the translated
// rest for the smaller files, else its name's bytes as Qt decodes them.
QString EntryNameText(const TTreeEntry& e);
// The entry's caption as shown: the smaller files' with its name
// translated, the figure kept; every other caption as it is.
QString EntryCaptionText(const TTreeEntry& e);
// Where the status bar and the chart place the entry: its path; for the
// smaller files, their folder's path and their translated name.
QString EntryPlaceText(const TTreeEntry& e);
