#include "app/windows/hint_text.h"

#include <QAction>
#include <QWidget>

HintParts SplitHint(const QString& text) {
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        return {text, text};
    }
    return {text.left(bar), text.mid(bar + 1)};
}

void SetHint(QWidget* widget, const std::string& text) {
    if (widget == nullptr || text.empty()) {
        return;
    }
    const HintParts parts = SplitHint(QString::fromStdString(text));
    widget->setToolTip(parts.toolTip);
    widget->setStatusTip(parts.status);
}

void SetHint(QAction* action, const std::string& text) {
    if (action == nullptr || text.empty()) {
        return;
    }
    const HintParts parts = SplitHint(QString::fromStdString(text));
    action->setToolTip(parts.toolTip);
    action->setStatusTip(parts.status);
}
