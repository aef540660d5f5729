#pragma once
// The one entry point the command line and the windows call: figure K of an
// acquisition folder, with its options, written to a PDF, SVG or PNG file, or
// drawn into a picture for a preview.

#include <QImage>
#include <string>

#include "views/FigureRequest.h"

namespace zorvex {

struct FigureOutcome {
    bool written = false;
    /// Why nothing was written; for a written figure, what the reading said
    /// on the way (an incomplete last record, a missing side file), else empty.
    std::string message;
};

/// Reads the acquisition, lays the figure out and writes it. Never throws;
/// every failure comes back as a message. Needs a QGuiApplication (the
/// offscreen platform serves where there is no display).
FigureOutcome writeFigure(const FigureRequest& request);

struct FigurePreview {
    QImage image;  ///< null when nothing was drawn
    FigureOutcome outcome;
};

/// The figure of `request` drawn at `dotsPerInch` on white, as it would be
/// written, for a look before saving; `request.output` is not used.
FigurePreview previewFigure(const FigureRequest& request, double dotsPerInch);

}  // namespace zorvex
