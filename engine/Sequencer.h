#pragma once

#include <cstdint>

#include "run/RunWindow.h"

namespace engine {

// Moves the sequencer's check mark to one of N1000, N800 or N600; the marks are set in the
// order N600, N800, N1000, the chosen one on and the others off.
void SelectSequencer(run::RunWindow& window, run::MenuMark item);

// Sectors timed in each measured block, from the marks: 1000, unless "600-400" is marked
// (600), unless "800-200" is marked (800).
std::int32_t DataSectorsFromMarks(const run::RunWindow& window);

}  // namespace engine
