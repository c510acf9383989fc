#include "app/SelectionKeeper.h"

#include <QItemSelectionModel>
#include <optional>
#include <string>

#include "app/SizeTreeModel.h"
#include "sizetree/EntryLookup.h"

SelectionKeeper::SelectionKeeper(TSizeTree& tree, SizeTreeModel& model, QItemSelectionModel& selection)
    : tree_(tree), model_(model), selection_(selection)
{
    // When rows go, Qt moves the current entry; it is selected as well.
    auto selectLater = [&selection](const QModelIndex& current) {
        if (!current.isValid() || selection.isSelected(current))
            return;
        auto select = [&selection, p = QPersistentModelIndex(current)] {
            if (p.isValid() && p == selection.currentIndex())
                selection.select(p, QItemSelectionModel::ClearAndSelect);
        };
        QMetaObject::invokeMethod(&selection, select, Qt::QueuedConnection);
    };
    QObject::connect(&selection, &QItemSelectionModel::currentChanged, &selection, selectLater);
}

TTreeEntry* SelectionKeeper::Current() const
{
    return SizeTreeModel::EntryAt(selection_.currentIndex());
}

void SelectionKeeper::Select(const TTreeEntry* entry)
{
    selection_.setCurrentIndex(model_.IndexOf(entry), QItemSelectionModel::ClearAndSelect);
}

void SelectionKeeper::MoveOff(TTreeEntry* entry)
{
    const TTreeEntry* current = Current();
    while (current && current != entry)
        current = current->Parent();
    if (!current)
        return;
    TTreeEntry* parent = entry->Parent();
    const int count = parent ? parent->ChildCount() : tree_.TopLevelCount();
    auto sibling = [&](int row) { return parent ? parent->ChildAt(row) : tree_.TopLevelAt(row); };
    TTreeEntry* target = parent;
    if (entry->Row() > 0)
        target = sibling(entry->Row() - 1);
    else if (entry->Row() + 1 < count)
        target = sibling(entry->Row() + 1);
    Select(target);
}

void SelectionKeeper::Around(const TScanHooks& scan,
                             const std::function<void(const TreeChangeHooks&)>& change, bool keepListedFile)
{
    const TTreeEntry* before = Current();
    const std::string file = keepListedFile && before && before->IsListedFile() ? before->Path()
                                                                                : std::string();
    TreeChangeHooks hooks;
    hooks.Scan = scan;
    // Kept by path: a rescan of the whole root (hard links moved) follows
    // some changes.
    std::optional<std::string> keep;
    auto remember = [this, &keep] {
        const TTreeEntry* current = Current();
        if (!keep)
            keep = current ? current->Path() : std::string();
    };
    hooks.ChildrenAboutToGo = [this, remember](TTreeEntry* e) {
        const TTreeEntry* current = Current();
        for (const TTreeEntry* c = current ? current->Parent() : nullptr; c; c = c->Parent())
            if (c == e)
                Select(e);
        remember();
    };
    hooks.SubtreeAboutToGo = [this, remember](TTreeEntry* e) {
        MoveOff(e);
        remember();
    };
    change(hooks);
    if (keep && !keep->empty())
        if (TTreeEntry* again = FindEntry(tree_, *keep); again && again != Current())
            Select(again);
    if (TTreeEntry* again = file.empty() ? nullptr : FindEntry(tree_, file))
        Select(again);
}
