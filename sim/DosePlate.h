#pragma once
// The dose plate: organisms whose activity follows a known dose-response,
// so that a recorded plate has a dose series to screen. The 24 beam columns
// are taken in pairs as the 12 columns of a 96-well plate (z96flat, or two
// columns of z384 each): column 1 the vehicle (negative control, full
// activity), columns 2 to 11 a three-fold dilution series of one compound
// from 0.00508 to 100 uM, column 12 a paralysing positive control.
// Activity in columns 2 to 11 is the four-parameter log-logistic curve
// top / (1 + (c / IC50)^hill), with top 1, bottom 0, IC50 1 uM, hill 1.

namespace zorvex::sim {

inline constexpr double DoseIc50Um = 1.0;
inline constexpr double DoseHill = 1.0;
inline constexpr double HighestDoseUm = 100.0;
inline constexpr double DoseDilution = 3.0;
inline constexpr int DosePlateColumns = 12;
/// Activity of the positive control, as a fraction of the vehicle's.
inline constexpr double PositiveControlActivity = 0.02;

/// The plate column, 1 to 12, of a channel.
int dosePlateColumn(int channel);

/// The compound's concentration in uM in a plate column; 0 for columns 1 and 12.
double doseConcentrationUm(int column);

/// The activity of a channel's organisms as a fraction of the vehicle's.
double doseActivity(int channel);

}  // namespace zorvex::sim
