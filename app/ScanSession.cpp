#include "app/ScanSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QPersistentModelIndex>
#include <QStandardPaths>
#include <optional>

#include "app/EntryTrash.h"
#include "app/PathText.h"
#include "app/ReadErrorReason.h"
#include "app/RefusalText.h"
#include "app/SelectionKeeper.h"
#include "app/SizeTreeModel.h"
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
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e;) {
        TTreeEntry* next = tree_.NextSibling(e);
        if (e->Path() == path) {
            keeper_->MoveOff(e);
            ledgers_.erase(e);
            tree_.DeleteEntry(e);
        }
        e = next;
    }
    return tree_.AddChildEntry(nullptr, path, TNode{path, 0, ""});
}

void ScanSession::ScanRoot(TTreeEntry* root)
{
    RunBusy([&] {
        ScanFolder(root);
        tree_.SetImageIndex(root, 1);
    });
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
    ChangeBusy(entry->Path(), [&](const TreeChangeHooks& hooks) {
        refused = ::RescanEntry(tree_, entry, LedgerOf(entry), hooks).Refusal;
    });
    if (refused)
        emit Notice(tr("Rescan refused: %1").arg(WalkRefusalText(plan, *refused)));
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
