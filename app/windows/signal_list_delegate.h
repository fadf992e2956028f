#pragma once
// The owner-drawn items of SignalButton: the item's picture of ImageList1 at the
// rectangle's left + 2 and top, the text at left + 2 + picture width + 4.

#include <QStyledItemDelegate>

class SignalListDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
