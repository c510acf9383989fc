// SizeTreeModel: a thin Qt item model over a TSizeTree.
//
// Protocol: the model registers itself as an observer of the tree in its
// constructor and unregisters in its destructor; the tree must outlive it.
// It keeps no copy of the data: an index's internal pointer is its
// TTreeEntry, rows come from TTreeEntry::Row(). Every tree notification is
// forwarded at once as the matching Qt model signal, with work per
// notification O(1), or O(persistent indexes) for a reorder. Captions are
// bytes; they are shown as UTF-8, invalid sequences replaced, never changed,
// but for the smaller files' name, translated (app/EntryName.h). Many
// captions changed at once come as one layout change.
// A folder that could not be read is drawn in kUnreadableColour; its tool tip,
// and that of an entry with such folders below it, says why or how many.
// A FILES entry whose files can be listed has children before it has rows:
// fetchMore asks for them through FilesWanted, which the scan session
// answers later (never from inside the call: it may come during a tree
// change). EntryAt reads an index of this model without the model. The
// window may add a line to every tool tip: an entry's change since an
// earlier scan (SetChangeTip).
#pragma once

#include <QAbstractItemModel>
#include <QColor>
#include <QIcon>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "sizetree/SizeTree.h"

// Text colour of an entry whose folder could not be read.
inline const QColor kUnreadableColour(0x8B, 0x00, 0x00);

class SizeTreeModel : public QAbstractItemModel, private TTreeObserver {
    Q_OBJECT
public:
    // images: normal pictures 0 folder, 1 scanned root, 2 FILES. A selected
    // entry shows picture 0 whatever its own index.
    SizeTreeModel(TSizeTree& tree, const std::array<QImage, 3>& images, QObject* parent = nullptr);
    ~SizeTreeModel() override;

    // Asked when a tool tip shows; an empty text adds nothing.
    void SetChangeTip(std::function<QString(const TTreeEntry&)> tip) { changeTip_ = std::move(tip); }

    static TTreeEntry* EntryAt(const QModelIndex& index);
    QModelIndex IndexOf(const TTreeEntry* entry) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void FilesWanted(const QModelIndex& files);

private:
    // The tool tip of an entry that could not be read or has such folders
    // below it, of a listed file counted elsewhere and of the smaller files'
    // entry; an empty variant otherwise.
    QVariant EntryTip(const TTreeEntry& e) const;

    void EntryAboutToBeAdded(TTreeEntry* parent, int row) override;
    void EntryAdded(TTreeEntry* entry) override;
    void EntryChanged(TTreeEntry* entry) override;
    void CaptionsChanged() override;
    void ChildrenAboutToBeReordered(TTreeEntry* parent) override;
    void ChildrenReordered(TTreeEntry* parent) override;
    void EntryAboutToBeDeleted(TTreeEntry* entry) override;
    void EntryDeleted(TTreeEntry* parent, int row) override;

    TSizeTree& tree_;
    std::array<QIcon, 3> icons_;
    std::function<QString(const TTreeEntry&)> changeTip_;
    // Persistent indexes under the parent being reordered, with their entries.
    std::vector<std::pair<QModelIndex, TTreeEntry*>> moving_;
};
