// A whole run in the offscreen window on a simulated drive that sleeps out every read in
// real time, timed by the real millisecond clock and driven by the window's own 5 ms timer
// in a Qt event loop, as a run on a drive is.
#pragma once

#include <memory>
#include <vector>

#include "bench/RealTimeSystem.h"
#include "platform/SimDrive.h"
#include "results/ResultsDocument.h"

namespace bench {

// A CAV drive from 21x inside to 52x outside on a volume small enough to read in about
// a quarter of a minute.
platform::SimDiscParams PacedDisc();

struct PacedRun {
    bool finished = false;
    // From the click on Start to the end of the tick that ended the run.
    double wallMs = 0.0;
    // The modelled time of every read of the run.
    double modelledMs = 0.0;
    int ticks = 0;
    int timerMs = 0;
    // Where the time beyond the model went: run start, the pauses between ticks beyond the
    // timer's interval, and the ticks beyond their reads' modelled time.
    double startOverheadMs = 0.0;
    double pauseOverheadMs = 0.0;
    double tickOverheadMs = 0.0;
    results::DataList document;
    std::shared_ptr<platform::SimDrive> drive;
    std::vector<RealRead> realReads;
};

// Needs the QApplication; gives up after limitMs.
PacedRun RunPaced(const platform::SimDiscParams& disc, int limitMs);

}  // namespace bench
