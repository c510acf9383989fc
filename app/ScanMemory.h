// ScanMemory: the remembered scans of the window's roots (history/ScanStore.h)
// and the earlier scan each root is compared with, its baseline.
//
// Protocol: the scan session owns one. Every call, callback and signal is on
// the UI thread. The store's files are read and written on one worker
// thread of its own, one task after another in the order asked (so a scan
// is looked for before the next one is written); results come back by
// queued calls. Destroying it waits for the tasks queued: a scan being
// written is written.
//
// A root's baseline, by its path: the scan chosen by the user (a remembered
// scan or a saved scan's file), kept over later scans of the root; else its
// scan before the last one, the one of this run when there was one, else the
// newest the store holds. Failures come as Failed, for the status bar.
#pragma once

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "history/Comparison.h"
#include "history/FolderSnapshot.h"
#include "history/ScanStore.h"

class ScanMemory : public QObject {
    Q_OBJECT
public:
    struct Baseline {
        std::shared_ptr<const FolderSnapshot> Snapshot;
        std::string SavedFile;  // the saved scan's path; empty for a remembered scan
        bool Chosen = false;
    };
    // The Changes window's rows at most.
    static constexpr size_t kMostRows = 1000;

    ScanMemory();
    ~ScanMemory() override;

    // Where remembered scans are read (nothing: nowhere), and whether new
    // ones are written there too.
    void UseStore(std::optional<std::string> folder, bool write);
    bool Writes() const { return store_ && write_; }

    // A root's scan finished, started at scanTime (Unix seconds): its
    // folders are copied now; on the worker its baseline is looked for, if
    // needed, and then the scan is written.
    void Remember(const TTreeEntry& root, int64_t scanTime);
    // Null when the root has none (yet).
    const Baseline* BaselineOf(const std::string& rootPath) const;
    // A root scanned anew from now on: not compared until its scan ends.
    void RootStarted(const std::string& rootPath) { unfinished_.insert(rootPath); }
    // Its baseline when the root has one and its last scan ended, else null:
    // partial totals are not compared.
    const Baseline* ComparableOf(const std::string& rootPath) const;
    // The time of the root's last scan this run (0: none).
    int64_t LastScanTime(const std::string& rootPath) const;

    // The user's choice of a baseline: a remembered scan (its file's name in
    // the store) or a saved scan's file; ComparisonChanged once read, Failed
    // when it cannot be.
    void ChooseRemembered(const std::string& rootPath, const std::string& file);
    void ChooseSaved(const std::string& rootPath, const std::string& path);
    // A snapshot already read (a saved scan opened in the window).
    void Choose(const std::string& rootPath, std::shared_ptr<const FolderSnapshot> snapshot,
                const std::string& savedFile);

    // The remembered scans of a root, newest first, handed to done later
    // unless context has gone by then.
    void List(const std::string& rootPath, QObject* context, std::function<void(RememberedList)> done);
    // The folders of root that changed most since its baseline (at most
    // kMostRows, largest change first), handed to done later unless context
    // has gone; nothing is called when ComparableOf has none.
    void Compare(const TTreeEntry& root, QObject* context,
                 std::function<void(std::vector<FolderChange>)> done);

    // Returns once the worker has done every task queued so far, their
    // results delivered (tests, benchmarks).
    void Wait();

signals:
    // The root's baseline changed, or its last scan ended.
    void ComparisonChanged(const std::string& rootPath);
    void Failed(const QString& text);

private:
    // Runs work on the worker; the function it returns runs back here.
    void Run(std::function<std::function<void()>()> work);
    void SetBaseline(const std::string& rootPath, Baseline baseline);

    std::optional<ScanStore> store_;
    bool write_ = false;
    std::map<std::string, Baseline> baselines_;
    // Each root's last scan of this run.
    std::map<std::string, std::shared_ptr<const FolderSnapshot>> last_;
    std::set<std::string> unfinished_;
    // Declared last: destroyed, so waited for, first.
    QThreadPool worker_;
};

// When a baseline's scan ran ("3 Dec 14:02"), or its saved file's name.
QString BaselineWhen(const ScanMemory::Baseline& baseline);
