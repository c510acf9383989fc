// ScanStatusBar: the main window's status bar, below its designed client
// area. Line one follows a scan (the folder under scan, counts, bytes, time
// and, for a whole file system, how far it has come) and then sums it up;
// line two describes the selected entry, and its change since an earlier
// scan when the window tells (SetChangeOf).
//
// Protocol: the window calls ScanStarted, then Sample from the scan's event
// hook (as often as it likes: the text changes at most every 100 ms, and a
// call in between costs one clock read), then ScanFinished; ShowEntry
// whenever the selection changes. Entries are read during the call only.
// A saved scan being opened shows SavedScanOpening, then SavedScanShown
// (a bad file: a notice instead).
// UI thread only.
#pragma once

#include <QStatusBar>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

class QLabel;

class ScanStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kHeight = 34;  // two lines of text, pixels
    static constexpr std::chrono::milliseconds kSampleInterval{100};
    static constexpr std::chrono::milliseconds kNoticeTime{3000};

    explicit ScanStatusBar(QWidget* parent = nullptr);

    void ScanStarted(const std::string& rootPath);
    // progress as the scan keeps it; selected: the selected entry or null.
    void Sample(const ScanProgress& progress, const TTreeEntry* selected);
    void ScanFinished(const ScanProgress& progress, const TTreeEntry* selected);
    void ShowEntry(const TTreeEntry* entry);
    void SavedScanOpening(const std::string& file);
    // root: a saved scan's root; savedAt: when it was saved (Unix seconds).
    void SavedScanShown(const TTreeEntry& root, std::optional<int64_t> savedAt, const TTreeEntry* selected);
    // The change of an entry since an earlier scan ("+1.2 GB since 3 Dec
    // 14:02"; empty: none known), shown on line two after the path.
    void SetChangeOf(std::function<QString(const TTreeEntry&)> changeOf) { changeOf_ = std::move(changeOf); }
    // A one-shot message on line one (a command refused, and why): a
    // running scan's samples leave it for kNoticeTime; its end replaces it.
    void ShowNotice(const QString& text);
    QString NoticeText() const { return notice_; }
    // A byte figure in the units of line two ("12.3 GB").
    QString Bytes(double bytes) const;

    QString ScanText() const;
    QString EntryText() const;

private:
    using Clock = std::chrono::steady_clock;

    // Puts prefix, path and rest on label, the path elided in the middle to fit.
    void SetLine(QLabel* label, const QString& path, const QString& rest);

    QLabel* scanLine_ = nullptr;
    QLabel* entryLine_ = nullptr;
    QString scanFull_;  // the texts before elision
    QString entryFull_;
    std::string rootPath_;
    uint64_t usedBytes_ = 0;  // of the scanned file system; 0: not a whole one
    Clock::time_point started_{};
    Clock::time_point lastSample_{};
    std::function<QString(const TTreeEntry&)> changeOf_;
    QString notice_;  // the last notice
    Clock::time_point noticeUntil_{};
};
