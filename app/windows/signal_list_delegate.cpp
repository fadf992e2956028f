#include "app/windows/signal_list_delegate.h"

#include "app/windows/window_pictures.h"

#include <QApplication>
#include <QPainter>

void SignalListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette& palette = option.palette;
    painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
    const QPixmap picture(pictures::SignalType(index.row()));
    int textLeft = option.rect.left() + 2;
    if (!picture.isNull()) {
        painter->drawPixmap(option.rect.left() + 2, option.rect.top(), picture);
        textLeft += picture.width() + 4;
    }
    painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
    const QRect textArea(textLeft, option.rect.top(), option.rect.right() - textLeft,
                         option.rect.height());
    painter->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
}

QSize SignalListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), 18));
    return size;
}
