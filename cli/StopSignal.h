#pragma once

namespace cli {

// SIGINT and SIGTERM become the Stop button: the handler only notes the signal, and the
// run copies it into its stop request between blocks. A second signal of the same kind
// ends the program at once, for a drive that hangs in a read.
void InstallStopHandlers();

// The signal that asked to stop, or 0.
int StopSignal();

}  // namespace cli
