#pragma once
// What the offline window draws on its surfaces: the group activity bars,
// the channel signal of a page, the re-analysis thresholds over it, the
// actograms, and the progress of a page load.

#include <QColor>
#include <QString>
#include <vector>

#include "ui/common/PlotSurface.h"
#include "views/ActogramLayout.h"
#include "views/ChannelSignal.h"
#include "views/GroupActivity.h"
#include "views/PageBuffer.h"

namespace zorvex {

/// The two-panel bar chart: the well's bins below, its group's above, with
/// the well's name and channel and the group entry as labels.
void drawGroupActivity(PlotSurface& surface, const GroupActivity& activity, const QString& wellLabel,
                       const QString& groupLabel);

/// The raw signal of the beams on every loaded slot of a page, in the beams'
/// colours, with the block starts in light grey and the labels of the first
/// and last sample shown.
void drawChannelSignal(PlotSurface& surface, const PageBuffer& page, int pageNumber, const std::vector<WellBeam>& beams,
                       int maxBeam);

/// The re-analysis over the channel view of blocks of `samplesPerBlock`
/// samples: beam swatches, each file's stored minute and count sums, and the
/// detection thresholds in grey.
void drawReanalysis(PlotSurface& surface, const PageReanalysis& reanalysis, const std::vector<WellBeam>& beams,
                    int maxBeam, int samplesPerBlock);

/// Shades of recorded time with the light on and off.
inline const QColor ActogramLightShade{255, 236, 150};
inline const QColor ActogramDarkShade{185, 185, 185};

/// One actogram of the actogram view with its caption.
struct ActogramPanel {
    QString caption;
    ActogramLayout layout;
};

/// The actograms one above the other: light spans pale yellow, dark ones
/// grey, black bars, the date of each line at its left and the hours 0..48
/// below.
void drawActograms(PlotSurface& surface, const std::vector<ActogramPanel>& panels);

/// The progress box filled in blue up to `fraction` (0..1) of its width.
void drawProgress(PlotSurface& status, double fraction);

/// Clears the progress box.
void clearProgress(PlotSurface& status);

}  // namespace zorvex
