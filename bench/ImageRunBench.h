// Whole runs on a full single-layer DVD image read through the raw device, against dd reading
// the same sectors unbuffered plus the pauses a run makes between its ticks.
#pragma once

#include <string>

namespace bench {

struct ImageRun {
    int blocks = 0;
    int ticks = 0;
    int pauseMs = 0;
    // dd iflag=direct reading the run's sectors in reads of 1000 sectors; negative when dd
    // could not be run.
    double ddMs = -1.0;
    // The same reads in the run's order with a plain sleep of the pause between ticks: what
    // the system itself adds to dd and the pauses.
    double bareMs = -1.0;
    // discometer-cli measure, from spawning it to its exit; negative when it failed.
    double cliMs = -1.0;
    // The offscreen window, from the click on Start to the end of the last tick, and where
    // that time went: run start, the ticks (reads, drawing), the pauses beyond the timer's.
    bool windowFinished = false;
    double windowMs = 0.0;
    double startMs = 0.0;
    double ticksMs = 0.0;
    double pauseOverheadMs = 0.0;

    // dd and the pauses.
    double ExpectedMs() const { return ddMs + ticks * pauseMs; }
};

// Makes a sparse image of a full single-layer DVD in `folder`, measures it with the "1000"
// sequencer (every sector from 16 to the end, in reads of 1000), with the command-line
// companion at `cli` and in the window, and times dd and the bare reads on the same sectors;
// removes the image. Needs the QApplication; the window gives up after limitMs.
ImageRun RunDvdImage(const std::string& folder, const std::string& cli, int limitMs);

}  // namespace bench
