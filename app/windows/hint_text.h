#pragma once
// Hints of the text table: "tooltip|status" puts the part before the bar into the
// control's tooltip and the part after it into the window's status bar; a text
// without a bar is both.

#include <QString>

#include <string>

class QAction;
class QWidget;

struct HintParts {
    QString toolTip;
    QString status;
};

HintParts SplitHint(const QString& text);

// Sets the tooltip and status tip of `widget` (or `action`) from a text of the
// table; an empty text leaves the hints as they are.
void SetHint(QWidget* widget, const std::string& text);
void SetHint(QAction* action, const std::string& text);
