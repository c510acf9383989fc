#include "drives/DriveItemDelegate.h"

#include <QApplication>
#include <QPainter>

#include "drives/DrawDriveItem.h"

TDriveItemDelegate::TDriveItemDelegate(const TDriveImages& images, QObject* parent)
    : QStyledItemDelegate(parent), images_(images)
{
}

void TDriveItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    const TItemColours colours = selected
        ? TItemColours{pal.color(QPalette::Highlight), pal.color(QPalette::HighlightedText)}
        : TItemColours{pal.color(QPalette::Base), pal.color(QPalette::Text)};
    if (!index.isValid()) {
        painter->fillRect(option.rect, colours.Back);
        return;
    }
    const auto kind = TDriveKind(index.data(DriveKindRole).toInt());
    painter->save();
    painter->setFont(option.font);
    DrawDriveItem(*painter, option.rect, images_.ForKind(kind), index.data(Qt::DisplayRole).toString(),
                  colours);
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = colours.Back;
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

QSize TDriveItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), itemHeight_);
}
