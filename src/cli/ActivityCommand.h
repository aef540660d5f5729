#pragma once
// `zorvex-cli activity`: runs the activity calculation on one channel frame and
// shows its working, so that researchers can see why a frame counted what it
// did and the routine can be checked from outside.
//
//   activity --method 0|1|2 --snr F --samples FILE
//   activity --method 0|1|2 --snr F ACQ_FOLDER --record K --channel C [--rt-buffer N]
//
// Prints three lines: the count, the clipped samples (as many as were read),
// and the detection trace entries 0..499, space-separated.

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// The activity command; its exit status is 0 done, 1 the frame could not be read or counted, 2 bad usage.
std::unique_ptr<Command> makeActivityCommand();

}  // namespace zorvex
