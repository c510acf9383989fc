// Branch lines of the size tree view.
#include "app/SizeTreeView.h"

#include <QPainter>

#include "app/SizeTreeModel.h"

namespace {

bool HasNextSibling(const TTreeEntry* e)
{
    const TTreeEntry* p = e->Parent();
    return p && e->Row() + 1 < p->ChildCount();
}

}  // namespace

SizeTreeView::SizeTreeView(QWidget* parent) : QTreeView(parent)
{
}

void SizeTreeView::SetSizeTreeModel(SizeTreeModel* model)
{
    sizeModel_ = model;
    setModel(model);
}

void SizeTreeView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    const TTreeEntry* entry = sizeModel_ ? sizeModel_->EntryAt(index) : nullptr;
    const int step = indentation();
    if (entry && entry->Parent() && step > 0) {
        painter->save();
        QPen pen(palette().color(QPalette::Dark), 0);
        pen.setDashPattern({1, 1});
        painter->setPen(pen);
        // Columns right to left: the entry's own connector, then one column
        // per ancestor below the top level.
        const int midY = rect.top() + rect.height() / 2;
        int right = rect.right() + 1;
        int x = right - step / 2 - 1;
        painter->drawLine(x, rect.top(), x, HasNextSibling(entry) ? rect.bottom() : midY);
        painter->drawLine(x + 2, midY, right - 2, midY);
        for (const TTreeEntry* a = entry->Parent(); a && a->Parent(); a = a->Parent()) {
            right -= step;
            x -= step;
            if (HasNextSibling(a))
                painter->drawLine(x, rect.top(), x, rect.bottom());
        }
        painter->restore();
    }
    QTreeView::drawBranches(painter, rect, index);
}
