// Forwards size-tree notifications to Qt's model signals.
#include "app/SizeTreeModel.h"

#include <QCoreApplication>
#include <QPixmap>

#include "app/EntryName.h"
#include "app/ReadErrorReason.h"
#include "sizetree/Listing.h"
#include "sizetree/FilesToList.h"
#include "sizetree/LooseFiles.h"

QVariant SizeTreeModel::EntryTip(const TTreeEntry& e) const
{
    QStringList lines;
    if (e.IsCountedElsewhere())
        lines << tr("Another link to this file was counted first, at another place: its size counts there");
    if (e.IsSmallerFiles())
        lines << tr("The files of this folder after its %1 largest, together").arg(kListedFilesKept);
    if (e.ReadError())
        lines << tr("Could not be read: %1").arg(ReadErrorReason(e.ReadError()));
    const uint32_t below = e.Counts().UnreadableBelow;
    if (below == 1)
        lines << tr("1 folder below could not be read; its size counts as 0");
    else if (below > 1)
        lines << tr("%n folders below could not be read; their sizes count as 0", nullptr,
                    static_cast<int>(below));
    return lines.isEmpty() ? QVariant() : QVariant(lines.join(QLatin1Char('\n')));
}

SizeTreeModel::SizeTreeModel(TSizeTree& tree, const std::array<QImage, 3>& images, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree)
{
    const QPixmap selected = QPixmap::fromImage(images[0]);
    for (size_t i = 0; i < icons_.size(); ++i) {
        icons_[i].addPixmap(QPixmap::fromImage(images[i]), QIcon::Normal);
        icons_[i].addPixmap(selected, QIcon::Selected);
    }
    tree_.AddObserver(this);
}

SizeTreeModel::~SizeTreeModel()
{
    tree_.RemoveObserver(this);
}

TTreeEntry* SizeTreeModel::EntryAt(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TTreeEntry*>(index.internalPointer()) : nullptr;
}

QModelIndex SizeTreeModel::IndexOf(const TTreeEntry* entry) const
{
    if (!entry)
        return {};
    return createIndex(entry->Row(), 0, const_cast<TTreeEntry*>(entry));
}

QModelIndex SizeTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (const TTreeEntry* p = EntryAt(parent))
        return row < p->ChildCount() ? createIndex(row, 0, p->ChildAt(row)) : QModelIndex();
    return row < tree_.TopLevelCount() ? createIndex(row, 0, tree_.TopLevelAt(row)) : QModelIndex();
}

QModelIndex SizeTreeModel::parent(const QModelIndex& child) const
{
    const TTreeEntry* e = EntryAt(child);
    return e ? IndexOf(e->Parent()) : QModelIndex();
}

int SizeTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const TTreeEntry* p = EntryAt(parent);
    return p ? p->ChildCount() : tree_.TopLevelCount();
}

int SizeTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool SizeTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0 || canFetchMore(parent);
}

bool SizeTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const TTreeEntry* e = EntryAt(parent);
    return e && FilesToList(*e);
}

void SizeTreeModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        emit FilesWanted(parent);
}

QVariant SizeTreeModel::data(const QModelIndex& index, int role) const
{
    const TTreeEntry* e = EntryAt(index);
    if (!e)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return EntryCaptionText(*e);
    case Qt::DecorationRole: {
        const int i = e->ImageIndex();
        return i >= 0 && i < static_cast<int>(icons_.size()) ? icons_[static_cast<size_t>(i)] : QIcon();
    }
    case Qt::ForegroundRole:
        return e->ReadError() ? QVariant(kUnreadableColour) : QVariant();
    case Qt::ToolTipRole: {
        const QString change = changeTip_ ? changeTip_(*e) : QString();
        const QVariant tip = EntryTip(*e);
        if (change.isEmpty())
            return tip;
        return tip.isValid() ? tip.toString() + QLatin1Char('\n') + change : change;
    }
    default:
        return {};
    }
}

Qt::ItemFlags SizeTreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void SizeTreeModel::EntryAboutToBeAdded(TTreeEntry* parent, int row)
{
    beginInsertRows(IndexOf(parent), row, row);
}

void SizeTreeModel::EntryAdded(TTreeEntry*)
{
    endInsertRows();
}

void SizeTreeModel::EntryChanged(TTreeEntry* entry)
{
    const QModelIndex i = IndexOf(entry);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::DecorationRole, Qt::ForegroundRole, Qt::ToolTipRole});
}

void SizeTreeModel::CaptionsChanged()
{
    // Any caption: the views lay out what they show again; no index moves.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    emit layoutChanged({}, QAbstractItemModel::NoLayoutChangeHint);
}

void SizeTreeModel::ChildrenAboutToBeReordered(TTreeEntry* parent)
{
    const QPersistentModelIndex p(IndexOf(parent));
    emit layoutAboutToBeChanged({p}, QAbstractItemModel::VerticalSortHint);
    moving_.clear();
    for (const QModelIndex& i : persistentIndexList()) {
        TTreeEntry* e = EntryAt(i);
        if (e && e->Parent() == parent)
            moving_.emplace_back(i, e);
    }
}

void SizeTreeModel::ChildrenReordered(TTreeEntry* parent)
{
    for (const auto& [old, entry] : moving_)
        changePersistentIndex(old, IndexOf(entry));
    moving_.clear();
    emit layoutChanged({QPersistentModelIndex(IndexOf(parent))}, QAbstractItemModel::VerticalSortHint);
}

void SizeTreeModel::EntryAboutToBeDeleted(TTreeEntry* entry)
{
    beginRemoveRows(IndexOf(entry->Parent()), entry->Row(), entry->Row());
}

void SizeTreeModel::EntryDeleted(TTreeEntry*, int)
{
    endRemoveRows();
}
