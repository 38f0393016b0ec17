// Start-up to the first painted window, as the program starts: this program runs itself
// again with kFirstPaintFlag, and that child makes the window as the program's main does,
// shows it and tells when its chart was first painted.
#pragma once

#include <vector>

namespace bench {

inline constexpr const char* kFirstPaintFlag = "--first-paint";

struct StartUpTimes {
    // Milliseconds from just before the child was spawned to its first paint.
    std::vector<double> fromSpawnMs;
    // Milliseconds from the child's QApplication being made to its first paint.
    std::vector<double> fromApplicationMs;
    int failures = 0;
};

// Spawns the children one after another; self is this program's own file.
StartUpTimes MeasureStartUp(const char* self, int launches);

// The child's side; returns its exit status. Prints one line: the monotonic clock in
// nanoseconds at the start of main, before the QApplication and at the first paint.
int FirstPaintChild(int argc, char* argv[], long long mainStartNs);

}  // namespace bench
