#include "app/ScanSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QPersistentModelIndex>
#include <QStandardPaths>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <optional>
#include <sys/stat.h>

#include "app/EntryTrash.h"
#include "app/PathText.h"
#include "app/ReadErrorReason.h"
#include "app/RefusalText.h"
#include "app/SelectionKeeper.h"
#include "app/SizeTreeModel.h"
#include "savedscan/SavedScan.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/FilesToList.h"
#include "sizetree/ShownSizes.h"

ScanSession::ScanSession()
    : listings_(tree_, [this] {
          QMetaObject::invokeMethod(this, &ScanSession::ResumeListings, Qt::QueuedConnection);
      })
{
    tree_.SetOnCompare(::SortBySize);
}

TTreeEntry* ScanSession::AddRoot(std::string path)
{
    if (scanning_ || path.empty())
        return nullptr;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    DropRoots(path, nullptr);
    memory_.RootStarted(path);
    return tree_.AddChildEntry(nullptr, path, TNode{path, 0, ""});
}

void ScanSession::DropRoot(TTreeEntry* root)
{
    keeper_->MoveOff(root);
    ledgers_.erase(root);
    savedRoots_.erase(root);
    tree_.DeleteEntry(root);
}

void ScanSession::DropRoots(const std::string& path, const TTreeEntry* keep)
{
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e;) {
        TTreeEntry* next = tree_.NextSibling(e);
        if (e != keep && e->Path() == path)
            DropRoot(e);
        e = next;
    }
}

void ScanSession::ScanRoot(TTreeEntry* root)
{
    const int64_t started = time(nullptr);
    bool stopped = false;
    RunBusy([&] {
        ScanFolder(root);
        tree_.SetImageIndex(root, 1);
        stopped = stopRequested_;
    });
    if (!stopped)
        RememberRoot(root->Path(), started);
}

void ScanSession::RememberRoot(const std::string& path, int64_t scanTime)
{
    if (const TTreeEntry* root = RootAt(path))
        memory_.Remember(*root, scanTime);
}

TTreeEntry* ScanSession::RootAt(const std::string& path)
{
    // A saved scan's root only where no scan of the path stands beside it
    // (it does while F5 on it runs).
    TTreeEntry* saved = nullptr;
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e))
        if (e->Path() == path) {
            if (!SavedRootOf(*e))
                return e;
            saved = saved ? saved : e;
        }
    return saved;
}

TTreeEntry* ScanSession::EntryAt(const std::string& path)
{
    // Of the roots that hold it, the one nearest to it.
    TTreeEntry* entry = nullptr;
    size_t rootLength = 0;
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e))
        if (TTreeEntry* found = FindEntryIn(e, path); found && (!entry || e->Path().size() > rootLength)) {
            entry = found;
            rootLength = e->Path().size();
        }
    return entry;
}

void ScanSession::ShowChangesAgainst(const TTreeEntry& savedRoot, const std::string& savedFile)
{
    memory_.Choose(savedRoot.Path(), std::make_shared<const FolderSnapshot>(SnapshotOfTree(savedRoot, 0)),
                   savedFile);
}

void ScanSession::ShowChangesAgainst(const std::string& rootPath, const std::string& savedFile)
{
    memory_.ChooseSaved(rootPath, savedFile);
}

void ScanSession::ScanFolder(TTreeEntry* entry)
{
    if (!entry)
        return;
    ScanProgress progress;
    emit ScanStarted(entry->Path());
    ::ScanFolder(tree_, entry, ScanHooks(progress), LedgerOf(entry));
    emit ScanFinished(progress);
}

void ScanSession::RunBusy(const std::function<void()>& scan)
{
    scanning_ = true;
    stopRequested_ = false;
    emit Working(true);
    scan();
    scanning_ = false;
    if (!Busy())
        emit Working(false);
    ResumeListings();
}

void ScanSession::ChangeBusy(const std::string& path,
                             const std::function<void(const TreeChangeHooks&)>& change)
{
    RunBusy([&] {
        ScanProgress progress;
        emit ScanStarted(path);
        keeper_->Around(ScanHooks(progress), change);
        emit ScanFinished(progress);
        emit SizesChanged();
    });
}

TScanHooks ScanSession::ScanHooks(ScanProgress& progress)
{
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [this, &progress] {
        emit ScanSampled(progress);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    hooks.StopRequested = [this] { return stopRequested_; };
    hooks.Progress = &progress;
    return hooks;
}

void ScanSession::Resort(TTVCompareEvent compare)
{
    RunResort([&] {
        tree_.SetOnCompare(OrderFor(compare, tree_.Shown()));
        for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e))
            SortSubtree(e);
    });
}

void ScanSession::ShowSizes(SizeKind kind)
{
    if (!tree_.FirstTopLevelEntry() || tree_.Shown() == kind) {
        ::ShowSizes(tree_, kind);  // nothing to wait for
        return;
    }
    RunResort([&] { ::ShowSizes(tree_, kind); });
}

void ScanSession::RunResort(const std::function<void()>& change)
{
    ++resorts_;
    emit Working(true);
    change();
    --resorts_;
    // Inside a scan the animation stays: the scan still runs.
    if (!Busy())
        emit Working(false);
}

void ScanSession::Rescan(TTreeEntry* entry)
{
    if (!entry)
        return;
    if (scanning_) {
        emit Notice(tr("Rescan refused: a scan is running"));
        return;
    }
    if (SavedRootOf(*entry)) {
        if (entry->Parent())
            emit Notice(tr("Rescan refused: this is a saved scan; F5 on its root scans the folder it names"));
        else
            RescanSavedRoot(entry);
        return;
    }
    // The loose files are listed afresh.
    if (entry->IsListedFile() || entry->IsSmallerFiles())
        entry = entry->Parent();
    if (entry->IsFiles()) {
        ListFiles(entry);
        return;
    }
    if (entry->Device() != entry->Root()->Device()) {
        emit Notice(tr("Rescan refused: %1 is on another file system").arg(PathText(entry->Path())));
        return;
    }
    std::optional<WalkRefusal> refused;
    const WalkPlan plan = PlanWalk(*entry);  // made before the entry may go
    const std::string path = entry->Path();
    const bool root = !entry->Parent();
    const int64_t started = time(nullptr);
    bool whole = false;
    if (root)
        memory_.RootStarted(path);  // compared again once the rescan ends
    ChangeBusy(path, [&](const TreeChangeHooks& hooks) {
        const RescanResult result = ::RescanEntry(tree_, entry, LedgerOf(entry), hooks);
        refused = result.Refusal;
        whole = root && result.Rescanned && !stopRequested_;
    });
    if (refused)
        emit Notice(tr("Rescan refused: %1").arg(WalkRefusalText(plan, *refused)));
    if (whole)
        RememberRoot(path, started);
}

QString ScanSession::TrashRefusal(const TTreeEntry& entry) const
{
    if (SavedRootOf(entry))
        return tr("Move to Trash refused: this is a saved scan, not the disk");
    return JudgeTrash(entry, scanning_);
}

void ScanSession::MoveToTrash(TTreeEntry* entry)
{
    if (scanning_ || SavedRootOf(*entry))
        return;
    const QString shown = PathText(entry->Path());
    const TrashOutcome outcome = MoveEntryToTrash(
        *entry,
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .toStdString());
    if (!outcome.Moved) {
        if (outcome.Notice.isEmpty())
            emit Warning(outcome.Warning);
        else
            emit Notice(outcome.Notice);
        return;
    }
    ChangeBusy(entry->Root()->Path(), [&](const TreeChangeHooks& hooks) {
        RemoveScannedEntry(tree_, entry, LedgerOf(entry), hooks);
    });
    emit Notice(tr("Moved %1 to the trash").arg(shown));
}

void ScanSession::WantFiles(const QModelIndex& index)
{
    QMetaObject::invokeMethod(
        this,
        [this, p = QPersistentModelIndex(index)] {
            if (TTreeEntry* e = SizeTreeModel::EntryAt(p); e && FilesToList(*e))
                ListFiles(e);
        },
        Qt::QueuedConnection);
}

void ScanSession::ListFiles(TTreeEntry* files)
{
    const bool wasBusy = Busy();
    ListingQueue::ListStep list;
    if (const SavedRoot* saved = SavedRootOf(*files); saved && saved->Files)
        // Only the folder's address is looked up, never the entry itself.
        list = [from = saved->Files, folder = files->Parent()](const WalkPlan&, const FileIdSet&) {
            return from->List(*folder);
        };
    if (listings_.Request(files, std::move(list)) && !scanning_)
        listings_.StartWaiting(
            [this](const TTreeEntry* folder) -> const LinkLedger& { return LedgerOf(folder); });
    Settle(wasBusy);
}

void ScanSession::ResumeListings()
{
    const bool wasBusy = Busy();
    if (scanning_) {
        listings_.DropLost();
    } else {
        listings_.StartWaiting(
            [this](const TTreeEntry* folder) -> const LinkLedger& { return LedgerOf(folder); });
        // One at a time: a put may take other FILES entries out of the tree.
        while (std::optional<FinishedListing> finished = listings_.TakeFinished())
            PutListing(std::move(*finished));
    }
    Settle(wasBusy);
}

void ScanSession::PutListing(FinishedListing finished)
{
    TTreeEntry* files = finished.Files;
    LooseFileListing& listing = finished.Listing;
    // A listing that failed (even midway) is not put: the entry keeps what it
    // showed, and the failure stays on it (red, with its reason), so that
    // views do not ask again at every layout. F5 asks again.
    const uint8_t error = listing.Error;
    if (error) {
        // A folder on the way that changed is named; the folder itself not again.
        const std::optional<WalkRefusal>& refusal = listing.Refusal;
        QString why = ReadErrorReason(error);
        if (refusal && refusal->Depth < finished.Plan.Steps.size())
            why = WalkRefusalText(finished.Plan, *refusal);
        else if (refusal && !refusal->Replaced())
            why = ErrnoText(refusal->Error);
        emit Notice(tr("Could not list the files of %1: %2").arg(PathText(files->Parent()->Path()), why));
    }
    keeper_->Around(
        {},
        [&](const TreeChangeHooks& hooks) {
            files->SetReadError(error);
            if (error)
                tree_.SetCaption(files, files->Caption());
            else
                PutLooseFiles(tree_, files, std::move(listing), LedgerOf(files), hooks);
        },
        true);  // a listed file selected stays selected
    emit SizesChanged();
}

void ScanSession::Settle(bool wasBusy)
{
    if (Busy() != wasBusy)
        emit Working(Busy());
}

const SavedRoot* ScanSession::SavedRootOf(const TTreeEntry& entry) const
{
    const auto it = savedRoots_.find(entry.Root());
    return it == savedRoots_.end() ? nullptr : &it->second;
}

void ScanSession::OpenSavedScan(const std::string& file)
{
    if (scanning_ || file.empty())
        return;
    SavedScanResult read;
    RunBusy([&] {
        emit SavedScanOpening(file);
        // Events every 10 ms at most, as a scan processes them; the reader
        // asks at each folder.
        using Clock = std::chrono::steady_clock;
        Clock::time_point lastEvents{};
        SavedScanOptions options;
        options.IndexFiles = true;
        options.StopRequested = [&] {
            if (Clock::now() - lastEvents >= std::chrono::milliseconds(10)) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                lastEvents = Clock::now();
            }
            return stopRequested_;
        };
        read = ReadSavedScan(file, tree_, options);
        if (!read.Root)
            return;
        SavedRoot& saved = savedRoots_[read.Root];
        saved.File = file;
        saved.Files = std::move(read.Files);
        struct stat st {};
        if (read.Header.HasTimestamp)
            saved.SavedAt = read.Header.Timestamp;
        else if (stat(file.c_str(), &st) == 0)
            saved.SavedAt = st.st_mtime;
        tree_.SetImageIndex(read.Root, 1);
        DropRoots(read.Root->Path(), read.Root);
    });
    if (read.Fault) {
        const SavedScanFault& fault = *read.Fault;
        if (fault.Errno)
            emit Notice(tr("Could not read %1: %2").arg(PathText(file), ErrnoText(fault.Errno)));
        else
            emit Notice(tr("%1: not a saved scan: %2 (byte %3)")
                            .arg(PathText(file), QString::fromStdString(fault.Reason))
                            .arg(fault.Byte));
    }
    emit SavedScanOpened(read.Root);
}

void ScanSession::RescanSavedRoot(TTreeEntry* saved)
{
    const std::string path = saved->Path();
    struct stat st {};
    int err = 0;
    if (stat(path.c_str(), &st) != 0)
        err = errno;
    else if (!S_ISDIR(st.st_mode))
        err = ENOTDIR;
    if (err) {
        emit Notice(tr("Rescan refused: this is a saved scan, and %1 is no folder here: %2")
                        .arg(PathText(path), ErrnoText(err)));
        return;
    }
    DropRoots(path, saved);
    // What changed is told against the saved scan, copied before it goes.
    ShowChangesAgainst(*saved, SavedRootOf(*saved)->File);
    memory_.RootStarted(path);
    TTreeEntry* scanned = tree_.AddChildEntry(nullptr, path, TNode{path, 0, ""});
    ScanRoot(scanned);
    if (stopRequested_)
        return;
    // The saved scan's tree and totals stayed in the tree until the new scan
    // ended, so that what changed since can be told from both.
    emit SavedRootRescanned(*saved, scanned);
    DropRoot(saved);
}
