#pragma once

#include <cstdio>
#include <optional>

namespace platform {

// The requests to stop that reach a program from outside: Ctrl-C and SIGTERM (a service
// manager, `timeout`, `kill`). Once installed, a request only sets a flag that a run reads
// between blocks; the second and every later request change nothing, so no burst of them
// can end the program before it has written its files.
void InstallStopRequests();

// True once a stop has been requested.
bool StopRequested();

// While set, the first stop request also says on standard error that the run stops once the
// drive has finished its read: a scratched disc can hold one read for tens of seconds, and a
// Ctrl-C that seems to do nothing meanwhile would be pressed again and again.
void SetWaitingForDrive(bool waiting);
inline constexpr char kWaitingForDriveNote[] =
    "discometer-cli: waiting for the drive to finish its read; the run stops after it\n";

// Writing to a pipe whose reader has gone then fails with an error that the writer handles,
// instead of ending the program.
void IgnoreBrokenPipes();

// True when the stream writes to a terminal.
bool IsTerminal(std::FILE* stream);

// Makes the stream carry bytes as they are: a data file through standard input or output
// keeps its CR LF line ends (Windows would otherwise translate them); nothing to do on Linux.
void UseBinaryMode(std::FILE* stream);

// The width in columns of the terminal the stream writes to; nothing when it is no terminal
// or does not say.
std::optional<int> TerminalColumns(std::FILE* stream);

}  // namespace platform
