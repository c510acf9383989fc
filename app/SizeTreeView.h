// SizeTreeView: the tree view of the size tree. Draws dotted lines joining
// entries below the top level to their parents and siblings, under the
// style's expand buttons.
//
// Protocol: give it a SizeTreeModel with SetSizeTreeModel (the view does not
// own it); otherwise a plain QTreeView.
#pragma once

#include <QTreeView>

class SizeTreeModel;

class SizeTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit SizeTreeView(QWidget* parent);
    void SetSizeTreeModel(SizeTreeModel* model);

protected:
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    SizeTreeModel* sizeModel_ = nullptr;
};
