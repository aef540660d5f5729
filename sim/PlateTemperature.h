#pragma once
// The plate's temperature: it relaxes towards the room and is pushed up or
// down by the heating/cooling element while the element is on. The sensor
// reads it as one raw byte.

namespace zorvex::sim {

/// Output-state bits of the set-outputs request.
constexpr int OutputLight = 4;
constexpr int OutputHeating = 2;
constexpr int OutputElement = 1;

class PlateTemperature {
public:
    /// A plate resting at room temperature `ambientC` at time 0.
    explicit PlateTemperature(double ambientC) : ambientC_(ambientC), degreesC_(ambientC) {}

    /// Moves on to time `seconds`, the element in `outputState` since the last call.
    void advance(double seconds, int outputState);
    double degrees() const { return degreesC_; }
    /// The sensor's raw byte for the present temperature.
    int raw() const;

private:
    double ambientC_;
    double degreesC_;
    double lastSeconds_ = 0;
};

}  // namespace zorvex::sim
