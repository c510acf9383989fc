#include "app/EntryTrash.h"

#include <QCoreApplication>
#include <cerrno>

#include "app/PathText.h"
#include "app/RefusalText.h"

namespace {

// The translation context of these texts.
class TrashTexts {
    Q_DECLARE_TR_FUNCTIONS(TrashTexts)
};

QString Shown(const std::string& path)
{
    return PathText(path);
}

// The refusal of an item that is not (or no longer) where it was.
QString ChangedText(const TTreeEntry& entry, const TrashRequest& request, const TrashResult& r)
{
    if (r.Failure == TrashFailure::FolderChanged)
        return TrashTexts::tr("Move to Trash refused: %1").arg(WalkRefusalText(request.Folder, r.Walk));
    return entry.IsListedFile()
        ? TrashTexts::tr("Move to Trash refused: %1 is no longer the file that was listed")
              .arg(Shown(r.Where))
        : TrashTexts::tr("Move to Trash refused: %1 is no longer the folder that was scanned")
              .arg(Shown(r.Where));
}

// Why the trash did not take the item.
QString WhyNotMoved(const TrashResult& r)
{
    const QString where = Shown(r.Where);
    switch (r.Failure) {
    case TrashFailure::MountPoint:
        return TrashTexts::tr("it is the top folder of another file system");
    case TrashFailure::TrashInside:
        return TrashTexts::tr("the trash %1 lies inside it").arg(where);
    case TrashFailure::NoDataHome:
        return TrashTexts::tr("no data folder for the trash");
    case TrashFailure::TrashIsLink:
        return TrashTexts::tr("the trash folder %1 is a symbolic link").arg(where);
    case TrashFailure::TrashNotFolder:
        return TrashTexts::tr("the trash folder %1 is not a folder").arg(where);
    case TrashFailure::TrashNotOurs:
        return TrashTexts::tr("the trash folder %1 belongs to another user (%2)").arg(where).arg(r.Owner);
    case TrashFailure::TrashOpen:
        return TrashTexts::tr("the trash folder %1 has mode %2, not 0700")
            .arg(where)
            .arg(r.Mode, 4, 8, QLatin1Char('0'));
    case TrashFailure::NoTrash:
        return TrashTexts::tr("the trash folder %1 cannot be made or opened: %2")
            .arg(where, ErrnoText(r.Error));
    case TrashFailure::NoReplaceUnsupported:
        return TrashTexts::tr(
                   "its file system cannot move it without the risk of replacing another item (%1)")
            .arg(ErrnoText(r.Error));
    case TrashFailure::NotMovedBack:
        return TrashTexts::tr(
                   "another item took its name at the last moment and went to the trash as %1; it could not "
                   "be moved back: %2")
            .arg(where, ErrnoText(r.Error));
    case TrashFailure::Failed:
        if (r.Error == EXDEV)
            return TrashTexts::tr("there is no trash on its file system (%1)").arg(ErrnoText(r.Error));
        return TrashTexts::tr("%1: %2").arg(where, ErrnoText(r.Error));
    default:
        return ErrnoText(r.Error);
    }
}

}  // namespace

QString JudgeTrash(const TTreeEntry& entry, bool scanning)
{
    if (scanning)
        return TrashTexts::tr("Move to Trash refused: a scan is running");
    const QString shown = Shown(entry.Path());
    if (!entry.Parent())
        return TrashTexts::tr("Move to Trash refused: %1 is a scanned root").arg(shown);
    if (entry.IsFiles()) {
        const QString folder = Shown(entry.Parent()->Path());
        return entry.ChildCount() == 0
            ? TrashTexts::tr("Move to Trash refused: the loose files of %1 are not listed").arg(folder)
            : TrashTexts::tr("Move to Trash refused: the loose files of %1 move one by one").arg(folder);
    }
    if (entry.IsSmallerFiles())
        return TrashTexts::tr("Move to Trash refused: the smaller files of %1 are not listed one by one")
            .arg(shown);
    const TrashRequest request = TrashRequestFor(entry, std::string());
    const TrashResult r = CheckTrashItem(request);
    return r.Moved() ? QString() : ChangedText(entry, request, r);
}

TrashOutcome MoveEntryToTrash(const TTreeEntry& entry, const std::string& dataHome)
{
    const TrashRequest request = TrashRequestFor(entry, dataHome);
    const TrashResult r = MoveToTrash(request);
    TrashOutcome outcome;
    outcome.Moved = r.Moved();
    if (r.Failure == TrashFailure::FolderChanged || r.Failure == TrashFailure::ItemChanged)
        outcome.Notice = ChangedText(entry, request, r);
    else if (!r.Moved())
        outcome.Warning =
            TrashTexts::tr("Could not move '%1' to the trash: %2").arg(Shown(entry.Path()), WhyNotMoved(r));
    return outcome;
}
