#include "app/FileListings.h"

#include <QMetaObject>
#include <string>
#include <utility>

#include "app/EntryActions.h"
#include "app/RefusalText.h"
#include "app/SizeTreeModel.h"

bool FilesToList(const TTreeEntry& entry)
{
    return entry.IsFiles() && entry.ChildCount() == 0 && entry.Counts().Files > 0 && entry.Parent()
        && entry.Parent()->ReadError() == 0 && entry.ReadError() == 0;
}

FileListings::FileListings(TSizeTree& tree, FileListingHooks hooks) : tree_(tree), hooks_(std::move(hooks))
{
    // Two folders at once at most: a listing is bound by the disk.
    pool_.setMaxThreadCount(2);
}

FileListings::~FileListings()
{
    pool_.waitForDone();
}

void FileListings::Request(TTreeEntry* files)
{
    if (!files || !files->IsFiles() || !files->Parent())
        return;
    for (const auto& [id, job] : jobs_)
        if (job.Files == files && !job.Watch->Lost())
            return;
    const bool wasActive = Active();
    const uint64_t id = nextId_++;
    Job& job = jobs_[id];
    job.Files = files;
    job.Watch = std::make_unique<DeletionWatch>(tree_, files);
    if (!hooks_.Busy())
        Start(job, id);
    Settle(wasActive);
}

void FileListings::Start(Job& job, uint64_t id)
{
    job.Started = true;
    job.Result = std::make_shared<Outcome>();
    const TTreeEntry* folder = job.Files->Parent();
    job.Result->Plan = PlanWalk(*folder);
    pool_.start(
        [this, id, result = job.Result, elsewhere = LinksCountedElsewhere(hooks_.LedgerOf(folder), folder)] {
            result->Listing = ListLooseFilesAt(result->Plan, elsewhere);
            QMetaObject::invokeMethod(
                this, [this, id] { Finished(id); }, Qt::QueuedConnection);
        });
}

void FileListings::Finished(uint64_t id)
{
    const auto at = jobs_.find(id);
    if (at == jobs_.end())
        return;
    at->second.Done = true;
    if (at->second.Watch->Lost()) {
        jobs_.erase(at);
        Settle(true);
    } else if (!hooks_.Busy()) {
        Put(at);
        Settle(true);
    }
}

void FileListings::Resume()
{
    if (hooks_.Busy())
        return;
    const bool wasActive = Active();
    for (auto at = jobs_.begin(); at != jobs_.end();) {
        Job& job = at->second;
        if (job.Watch->Lost() && (!job.Started || job.Done)) {
            at = jobs_.erase(at);
        } else if (!job.Started) {
            Start(job, at->first);
            ++at;
        } else if (job.Done) {
            // Put takes the job out; the next one is looked up afresh, since
            // the put's views may have asked for more.
            const uint64_t next = std::next(at) == jobs_.end() ? UINT64_MAX : std::next(at)->first;
            Put(at);
            at = jobs_.lower_bound(next);
        } else {
            ++at;
        }
    }
    Settle(wasActive);
}

void FileListings::Put(std::map<uint64_t, Job>::iterator at)
{
    TTreeEntry* files = at->second.Files;
    LooseFileListing listing = std::move(at->second.Result->Listing);
    const WalkPlan plan = std::move(at->second.Result->Plan);
    jobs_.erase(at);
    // A listing that failed (even midway) is not put: the entry keeps what it
    // showed, and the failure stays on it (red, with its reason), so that
    // views do not ask again at every layout. F5 asks again.
    if (listing.Error) {
        const uint8_t error = listing.Error;
        // A folder on the way that changed is named; the folder itself not again.
        const std::optional<WalkRefusal>& refusal = listing.Refusal;
        QString why = ReadErrorReason(error);
        if (refusal && refusal->Depth < plan.Steps.size())
            why = WalkRefusalText(plan, *refusal);
        else if (refusal && !refusal->Replaced())
            why = ErrnoText(refusal->Error);
        hooks_.Notice(tr("Could not list the files of %1: %2").arg(PathText(files->Parent()->Path()), why));
        hooks_.Change([&](const TreeChangeHooks&) {
            files->SetReadError(error);
            tree_.SetCaption(files, files->Caption());
        });
        return;
    }
    hooks_.Change([&](const TreeChangeHooks& hooks) {
        files->SetReadError(0);
        PutLooseFiles(tree_, files, std::move(listing), hooks_.LedgerOf(files), hooks);
    });
}

void FileListings::Settle(bool wasActive)
{
    if (Active() != wasActive)
        hooks_.Working(Active());
}
