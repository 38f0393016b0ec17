#include "platform/Console.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

volatile sig_atomic_t stopRequested = 0;
volatile sig_atomic_t waitingForDrive = 0;
volatile sig_atomic_t waitingSaid = 0;

extern "C" void OnStopRequest(int) {
    stopRequested = 1;
    if (waitingForDrive != 0 && waitingSaid == 0) {
        waitingSaid = 1;
        // write() is one of the calls a signal handler may make.
        (void)!::write(STDERR_FILENO, kWaitingForDriveNote, sizeof kWaitingForDriveNote - 1);
    }
}

}  // namespace

void InstallStopRequests() {
    struct sigaction action {};
    action.sa_handler = OnStopRequest;
    sigemptyset(&action.sa_mask);
    // The handler stays for every later signal: none of them may end the program.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
    return stopRequested != 0;
}

void SetWaitingForDrive(bool waiting) {
    waitingForDrive = waiting ? 1 : 0;
}

void IgnoreBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void UseBinaryMode(std::FILE* /*stream*/) {}

std::optional<int> TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return std::nullopt;
    }
    return static_cast<int>(size.ws_col);
}

}  // namespace platform
