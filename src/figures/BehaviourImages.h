#pragma once
// The sleep and rhythm figures drawn into pictures for a window, from the
// results already computed, as the figure files draw them.

#include <QImage>

#include "views/BehaviourFigures.h"

namespace zorvex {

/// The sleep figure `widthPixels` wide; a null image for no width.
QImage sleepImage(const RhythmGrid& grid, const SleepResults& results, int widthPixels);

/// The groups' mean periodograms; a null image when no well has a power.
QImage periodogramImage(const RhythmGrid& grid, const PeriodResults& results, int widthPixels);

/// The plate coloured by period.
QImage periodMapImage(const RhythmGrid& grid, const PeriodResults& results, int widthPixels);

}  // namespace zorvex
