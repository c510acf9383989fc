#pragma once
// Draws the drive entries of the drop-down list at a fixed item height.
//
// Protocol: the combo box makes one delegate (its Qt child, so Qt deletes
// it) with the images it owns, which outlive it; it calls SetItemHeight
// after every font change, before the list is shown again. Qt calls paint
// and sizeHint on the UI thread; each entry carries its caption
// (Qt::DisplayRole) and its kind (DriveKindRole).

#include <QStyledItemDelegate>

#include "drives/DriveImages.h"

// Model roles of a drive entry besides its caption (Qt::DisplayRole).
inline constexpr int DriveKindRole = Qt::UserRole + 1;  // int(TDriveKind)

class TDriveItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TDriveItemDelegate(const TDriveImages& images, QObject* parent);

    void SetItemHeight(int pixels) { itemHeight_ = pixels; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const TDriveImages& images_;
    int itemHeight_ = 16;
};
