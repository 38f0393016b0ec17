#include "platform/StopSignal.h"

#include <windows.h>

#include <atomic>
#include <csignal>

namespace platform {

namespace {

// The console calls the handler on a thread of its own.
std::atomic<int> stopSignal{0};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            if (stopSignal.exchange(SIGINT) != 0) {
                return FALSE;  // the second one ends the program
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void InstallStopHandlers() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

int StopSignal() {
    return stopSignal;
}

}  // namespace platform
