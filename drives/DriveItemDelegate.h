#pragma once
// Draws the drive entries of the drop-down list at a fixed item height.
// The images must outlive the delegate; SetItemHeight after font changes.

#include <QStyledItemDelegate>

#include "drives/DriveImages.h"

namespace tallowin::drives {

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

}  // namespace tallowin::drives
