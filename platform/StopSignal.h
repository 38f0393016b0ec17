#pragma once

namespace platform {

// The terminal's stop requests become the Stop button: Ctrl-C and SIGTERM on Linux, Ctrl-C
// and Ctrl-Break in a Windows console. The handler only notes the request, and the
// run copies it into its stop request between blocks. A second Ctrl-C ends the program at
// once, for a drive that hangs in a read.
void InstallStopHandlers();

// The signal (or console event) that asked to stop, or 0.
int StopSignal();

}  // namespace platform
