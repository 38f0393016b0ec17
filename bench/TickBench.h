// One tick of a run in the offscreen window, without the read: the drive answers at once,
// so what is timed is the tick's own work (result line, texts, gauge, curve segment and the
// repaint request).
#pragma once

#include <vector>

namespace bench {

struct TickTimes {
    // Microseconds a tick, one figure per batch of ticks.
    std::vector<double> ownWorkUs;
    // The same with the repaint each tick asks for done after it.
    std::vector<double> withRepaintUs;
};

// Needs the QApplication.
TickTimes MeasureTicks(int batches, int ticksPerBatch);

}  // namespace bench
