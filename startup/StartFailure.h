#pragma once

#include <string>

#include "platform/System.h"
#include "run/RunState.h"

namespace startup {

// Why a run on `drive` did not start, in words. The run start reports only that it failed;
// which of its steps did is read from what it leaves behind: the drive list's verdict
// (NoDrive), the error of the last open, and the sectors of the read that failed. The
// medium itself is looked at only to explain that read.
std::string DescribeStartFailure(const run::RunState& state, const platform::System& system,
                                 const std::string& drive);

// Why the drive list leaves out `drive`, whose device or file is at `path`.
std::string DescribeUnlistedDrive(const std::string& drive, const std::string& path);

// Why a Start in the window did not start a run, as its error box says it: the command
// line's reason as a sentence, or "No drive" with why each drive the user named in place of
// the search for drives was left out.
std::string WindowStartFailure(const run::RunState& state, const platform::System& system,
                               const std::string& drive);

}  // namespace startup
