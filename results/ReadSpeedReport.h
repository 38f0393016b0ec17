#pragma once

#include <optional>
#include <string>

#include "run/RunState.h"

namespace results {

// A drive takes a read speed as a hint: many read faster than asked, some ignore every
// request. What the run asked is set against the fastest block it measured.

// The speed asked in KB/s: the multiple of the medium's single speed; nothing for the
// drive's maximum and for a request the drive refused.
std::optional<double> AskedKBs(const run::RunState& state);

// Whether the fastest measured block passed the speed asked by more than 5 %.
bool ReadSpeedNotHonoured(const run::RunState& state);

// What the run asked and what the drive did, for the summary's "Read speed:" line:
// "Max"; "8x, refused by the drive: read at its own speed"; "16x asked (2400 KB/s); the
// drive read up to 2398 KB/s", with ": not honoured by the drive" after it when it went
// faster.
std::string ReadSpeedText(const run::RunState& state);

// The note the window shows at the end of a run whose drive did not follow the speed asked;
// empty when it did.
std::string ReadSpeedNote(const run::RunState& state);

}  // namespace results
