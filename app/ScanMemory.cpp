#include "app/ScanMemory.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include "app/ChangeSince.h"
#include "app/PathText.h"
#include "app/RefusalText.h"
#include "history/SavedSnapshot.h"

namespace {

// "write /home/u/.local/state/tallowin/scans/x.tmp: No space left on device"
QString FailureText(const StoreFailure& failure)
{
    const QString why = failure.Errno ? ErrnoText(failure.Errno) : QString::fromStdString(failure.Reason);
    return QStringLiteral("%1 %2: %3").arg(QString::fromStdString(failure.Step), PathText(failure.Path), why);
}

}  // namespace

ScanMemory::ScanMemory()
{
    worker_.setMaxThreadCount(1);
}

ScanMemory::~ScanMemory()
{
    worker_.waitForDone();
}

void ScanMemory::UseStore(std::optional<std::string> folder, bool write)
{
    store_.reset();
    if (folder)
        store_.emplace(std::move(*folder));
    write_ = write;
}

void ScanMemory::Run(std::function<std::function<void()>()> work)
{
    worker_.start([this, work = std::move(work)] {
        std::function<void()> back = work();
        QMetaObject::invokeMethod(this, std::move(back), Qt::QueuedConnection);
    });
}

void ScanMemory::Remember(const TTreeEntry& root, int64_t scanTime)
{
    const std::string rootPath = root.Path();
    unfinished_.erase(rootPath);
    auto snapshot = std::make_shared<const FolderSnapshot>(SnapshotOfTree(root, scanTime));
    std::shared_ptr<const FolderSnapshot> previous = std::exchange(last_[rootPath], snapshot);
    const Baseline* now = BaselineOf(rootPath);
    const bool chosen = now && now->Chosen;
    if (previous && !chosen)
        SetBaseline(rootPath, Baseline{previous, {}, false});
    else
        emit ComparisonChanged(rootPath);
    const bool look = !previous && !chosen;
    if (!store_ || (!look && !write_))
        return;
    Run([this, store = *store_, write = write_, look, rootPath, snapshot]() -> std::function<void()> {
        std::optional<RememberedRead> earlier;
        if (look) {
            const RememberedList list = store.List(rootPath);
            if (!list.Scans.empty())
                earlier = store.Read(list.Scans.front().File);
        }
        std::optional<RememberResult> written;
        if (write)
            written = store.Remember(*snapshot);
        return [this, rootPath, snapshot, earlier = std::move(earlier),
                written = std::move(written)]() mutable {
            const Baseline* now = BaselineOf(rootPath);
            // A later scan of the root this run has its own baseline: this one.
            const bool latest = last_[rootPath] == snapshot;
            if (earlier && earlier->Snapshot && latest && !(now && now->Chosen))
                SetBaseline(rootPath,
                            Baseline{std::make_shared<const FolderSnapshot>(std::move(*earlier->Snapshot)),
                                     {},
                                     false});
            if (earlier && earlier->Failure)
                emit Failed(tr("Could not read the earlier scan of %1: %2")
                                .arg(PathText(rootPath), FailureText(*earlier->Failure)));
            if (written && written->Failure)
                emit Failed(tr("The scan of %1 was not remembered: %2")
                                .arg(PathText(rootPath), FailureText(*written->Failure)));
            else if (written && !written->DropFailures.empty())
                emit Failed(tr("An older scan of %1 could not be dropped: %2")
                                .arg(PathText(rootPath), FailureText(written->DropFailures.front())));
        };
    });
}

const ScanMemory::Baseline* ScanMemory::BaselineOf(const std::string& rootPath) const
{
    const auto it = baselines_.find(rootPath);
    return it == baselines_.end() ? nullptr : &it->second;
}

const ScanMemory::Baseline* ScanMemory::ComparableOf(const std::string& rootPath) const
{
    return unfinished_.count(rootPath) ? nullptr : BaselineOf(rootPath);
}

int64_t ScanMemory::LastScanTime(const std::string& rootPath) const
{
    const auto it = last_.find(rootPath);
    return it == last_.end() ? 0 : it->second->ScanTime();
}

void ScanMemory::SetBaseline(const std::string& rootPath, Baseline baseline)
{
    baselines_[rootPath] = std::move(baseline);
    emit ComparisonChanged(rootPath);
}

void ScanMemory::ChooseRemembered(const std::string& rootPath, const std::string& file)
{
    if (!store_)
        return;
    Run([this, store = *store_, rootPath, file]() -> std::function<void()> {
        RememberedRead read = store.Read(file);
        return [this, rootPath, read = std::move(read)]() mutable {
            if (read.Snapshot)
                Choose(rootPath, std::make_shared<const FolderSnapshot>(std::move(*read.Snapshot)), {});
            else if (read.Failure)
                emit Failed(tr("Could not read the earlier scan of %1: %2")
                                .arg(PathText(rootPath), FailureText(*read.Failure)));
        };
    });
}

void ScanMemory::ChooseSaved(const std::string& rootPath, const std::string& path)
{
    Run([this, rootPath, path]() -> std::function<void()> {
        SavedSnapshot saved = SnapshotOfSavedScan(path);
        return [this, rootPath, path, saved = std::move(saved)]() mutable {
            if (saved.Snapshot)
                Choose(rootPath, std::make_shared<const FolderSnapshot>(std::move(*saved.Snapshot)), path);
            else if (saved.Fault)
                emit Failed(QString::fromStdString(DescribeFault(path, *saved.Fault)));
        };
    });
}

void ScanMemory::Choose(const std::string& rootPath, std::shared_ptr<const FolderSnapshot> snapshot,
                        const std::string& savedFile)
{
    SetBaseline(rootPath, Baseline{std::move(snapshot), savedFile, true});
}

void ScanMemory::List(const std::string& rootPath, QObject* context, std::function<void(RememberedList)> done)
{
    if (!store_) {
        done({});
        return;
    }
    Run([this, store = *store_, rootPath, guard = QPointer<QObject>(context),
         done = std::move(done)]() -> std::function<void()> {
        RememberedList list = store.List(rootPath);
        return [guard, done, list = std::move(list)]() mutable {
            if (guard)
                done(std::move(list));
        };
    });
}

void ScanMemory::Compare(const TTreeEntry& root, QObject* context,
                         std::function<void(std::vector<FolderChange>)> done)
{
    const Baseline* baseline = ComparableOf(root.Path());
    if (!baseline)
        return;
    auto now = std::make_shared<const FolderSnapshot>(SnapshotOfTree(root, 0));
    Run([then = baseline->Snapshot, now, guard = QPointer<QObject>(context),
         done = std::move(done)]() -> std::function<void()> {
        std::vector<FolderChange> rows = CompareSnapshots(*then, *now, {SizeMeasure::Apparent, kMostRows});
        return [guard, done, rows = std::move(rows)]() mutable {
            if (guard)
                done(std::move(rows));
        };
    });
}

void ScanMemory::Wait()
{
    worker_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

QString BaselineWhen(const ScanMemory::Baseline& baseline)
{
    const QString file = QFileInfo(QFile::decodeName(baseline.SavedFile.c_str())).fileName();
    if (!baseline.SavedFile.empty())
        return file;
    return ScanWhenText(baseline.Snapshot->ScanTime(), QDateTime::currentDateTime(), file);
}
