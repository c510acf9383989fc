// What a drop on the main window asks for: a folder to scan, a saved scan
// to open (savedscan/SavedReport.h: NamesSavedScan), or a refusal with its
// reason for the status bar.
//
// Protocol: the window calls JudgeDrop from its drop event with the dropped
// data and whether a scan runs; it then adds Folder to the drive chooser and
// scans it, opens SavedScan, or shows Refusal. Plain function; looks at the
// file system once (is the path a folder, a file or a pipe).
#pragma once

#include <QString>
#include <string>

class QMimeData;

struct DropVerdict {
    std::string Folder;     // the local folder to scan; empty when refused
    std::string SavedScan;  // or the local file to open as a saved scan
    QString Refusal;        // why not, for the status bar
};

DropVerdict JudgeDrop(const QMimeData& data, bool scanning);
