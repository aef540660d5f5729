#include "ui/common/FigureSaving.h"

#include <QApplication>
#include <QFileDialog>

#include "figures/FigureFile.h"
#include "figures/Figures.h"

namespace zorvex {

namespace {

constexpr const char* Filters[] = {"PDF (*.pdf)", "SVG (*.svg)", "PNG, 300 dpi (*.png)"};

}  // namespace

QString askFigureFileByDialog(QWidget* parent, const QString& suggested) {
    QString selected = Filters[0];
    for (const char* filter : Filters) {
        if (QString(filter).contains("*." + QFileInfo(suggested).suffix().toLower())) selected = filter;
    }
    QStringList filters;
    for (const char* filter : Filters) filters << filter;
    return QFileDialog::getSaveFileName(parent, "Save figure", suggested, filters.join(";;"), &selected);
}

SavedFigure saveFigure(FigureRequest request, const QString& chosen, const QString& format) {
    request.output = chosen.toStdString();
    if (!formatOfFile(request.output)) request.output += format.toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FigureOutcome outcome = writeFigure(request);
    QApplication::restoreOverrideCursor();
    const QString path = QString::fromStdString(request.output.string());
    if (!outcome.written) return {false, "Figure not written: " + QString::fromStdString(outcome.message)};
    // What the reading said on the way (a cut-short last record) belongs with the figure.
    const QString note = outcome.message.empty() ? "" : "  (" + QString::fromStdString(outcome.message) + ")";
    return {true, "Figure written: " + path + note};
}

}  // namespace zorvex
