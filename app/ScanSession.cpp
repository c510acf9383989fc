#include "app/ScanSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QPersistentModelIndex>
#include <QStandardPaths>
#include <ctime>
#include <optional>

#include "app/EntryTrash.h"
#include "app/PathText.h"
#include "app/ReadErrorReason.h"
#include "app/RefusalText.h"
#include "app/SelectionKeeper.h"
#include "app/SizeTreeModel.h"
#include "sizetree/FilesToList.h"

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
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e;) {
        TTreeEntry* next = tree_.NextSibling(e);
        if (e->Path() == path) {
            keeper_->MoveOff(e);
            ledgers_.erase(e);
            tree_.DeleteEntry(e);
        }
        e = next;
    }
    memory_.RootStarted(path);
    return tree_.AddChildEntry(nullptr, path, TNode{path, 0, ""});
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
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e))
        if (e->Path() == path)
            return e;
    return nullptr;
}

TTreeEntry* ScanSession::EntryAt(const std::string& path)
{
    // The longest root path that path starts with, then name by name.
    TTreeEntry* entry = nullptr;
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e)) {
        const std::string& root = e->Path();
        const bool below = path.size() > root.size() && path.compare(0, root.size(), root) == 0
            && (root.back() == '/' || path[root.size()] == '/');
        if ((path == root || below) && (!entry || root.size() > entry->Path().size()))
            entry = e;
    }
    if (!entry)
        return nullptr;
    size_t at = entry->Path().size();
    while (entry && at < path.size()) {
        if (path[at] == '/')
            ++at;
        const size_t end = std::min(path.find('/', at), path.size());
        const std::string_view name = std::string_view(path).substr(at, end - at);
        TTreeEntry* next = nullptr;
        for (int i = 0; i < entry->ChildCount() && !next; ++i) {
            TTreeEntry* child = entry->ChildAt(i);
            if (IsSnapshotFolder(*child) && child->Name() == name)
                next = child;
        }
        entry = next;
        at = end;
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
    tree_.SetOnCompare(compare);
    ++resorts_;
    emit Working(true);
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e))
        SortSubtree(e);
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

void ScanSession::MoveToTrash(TTreeEntry* entry)
{
    if (scanning_)
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
    if (listings_.Request(files) && !scanning_)
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
