#include "DosePlate.h"

#include <cmath>

namespace zorvex::sim {

namespace {
constexpr int RowsPerColumn = 16;
constexpr int BeamColumnsPerPlateColumn = 2;
}  // namespace

int dosePlateColumn(int channel) { return channel / RowsPerColumn / BeamColumnsPerPlateColumn + 1; }

double doseConcentrationUm(int column) {
    if (column <= 1 || column >= DosePlateColumns) return 0.0;
    return HighestDoseUm / std::pow(DoseDilution, DosePlateColumns - 1 - column);
}

double doseActivity(int channel) {
    const int column = dosePlateColumn(channel);
    if (column <= 1) return 1.0;
    if (column >= DosePlateColumns) return PositiveControlActivity;
    return 1.0 / (1.0 + std::pow(doseConcentrationUm(column) / DoseIc50Um, DoseHill));
}

}  // namespace zorvex::sim
