#pragma once
// Saving a figure from a window: the question where it goes (the desktop's
// save dialog, offering PDF, SVG and PNG), the writing under a wait cursor,
// and the words that say what was written and where, or why nothing was.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "views/FigureRequest.h"

namespace zorvex {

/// Asks where a figure goes, starting at `suggested`; empty when cancelled.
/// The windows ask with askFigureFileByDialog; tests answer instead.
using FigureFileQuestion = std::function<QString(QWidget* parent, const QString& suggested)>;

/// The save dialog for a figure: PDF, SVG and PNG, the filter of `suggested`'s extension chosen.
QString askFigureFileByDialog(QWidget* parent, const QString& suggested);

struct SavedFigure {
    bool written = false;
    QString notice;  ///< "Figure written: PATH", or "Figure not written: " and why
};

/// Writes `request`'s figure to `chosen`, given the extension of `format`
/// (".pdf") when it has none of the figure formats.
SavedFigure saveFigure(FigureRequest request, const QString& chosen, const QString& format);

}  // namespace zorvex
