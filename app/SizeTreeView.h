// TSizeTreeView: the tree view of the size tree. Draws dotted lines joining
// entries below the top level to their parents and siblings, under the
// style's expand buttons.
//
// Protocol: give it a TSizeTreeModel with SetSizeTreeModel (the view does not
// own it); otherwise a plain QTreeView.
#pragma once

#include <QTreeView>

class TSizeTreeModel;

class TSizeTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TSizeTreeView(QWidget* parent);
    void SetSizeTreeModel(TSizeTreeModel* model);

protected:
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    TSizeTreeModel* sizeModel_ = nullptr;
};
