#include "app/windows/main_signal_list.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

QString SignalFieldText(const QString& name) {
    return name.left(kSignalFieldWidth).leftJustified(kSignalFieldWidth, QLatin1Char(' '));
}

void SignalList::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = FieldText();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
