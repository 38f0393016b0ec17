// Loading and replaying the largest data file through the Load Data handler: once with the
// window interfaces alone (no event pass), once in the offscreen window with its event pass
// between lines.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct ReplayTimes {
    // Milliseconds of each repetition, the first warm-up left out.
    std::vector<double> ms;
    // Event passes the replay made, and chart paints during the last repetition.
    int eventPasses = 0;
    int chartPaints = 0;
    bool complete = false;
};

ReplayTimes ReplayWithoutEvents(const std::string& path, int repetitions);
// Needs the QApplication. With atMostEveryMs, the window's event pass runs at most once in
// that many milliseconds, as a measure of what such a limit would give; 0 is the program.
ReplayTimes ReplayWithEvents(const std::string& path, int repetitions, int atMostEveryMs = 0);

}  // namespace bench
