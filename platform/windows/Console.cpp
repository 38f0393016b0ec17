#include "platform/Console.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>

namespace platform {

namespace {

// The console calls the handler on a thread of its own.
std::atomic<bool> stopRequested{false};
std::atomic<bool> waitingForDrive{false};
std::atomic<bool> waitingSaid{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        stopRequested = true;
        if (waitingForDrive && !waitingSaid.exchange(true)) {
            DWORD written = 0;
            ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), kWaitingForDriveNote,
                        sizeof kWaitingForDriveNote - 1, &written, nullptr);
        }
        return TRUE;  // handled: the program lives on to write its files
    }
    return FALSE;
}

HANDLE ConsoleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

}  // namespace

void InstallStopRequests() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool StopRequested() {
    return stopRequested;
}

void SetWaitingForDrive(bool waiting) {
    waitingForDrive = waiting;
}

void IgnoreBrokenPipes() {
    // Nothing to do: on Windows a write to a pipe whose reader has gone fails with an error
    // and raises no signal.
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    const HANDLE h = ConsoleOf(stream);
    return h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) != FALSE;
}

void UseBinaryMode(std::FILE* stream) {
    std::fflush(stream);
    ::_setmode(::_fileno(stream), _O_BINARY);
}

std::optional<int> TerminalColumns(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const HANDLE h = ConsoleOf(stream);
    if (h == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(h, &info)) {
        return std::nullopt;
    }
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? std::optional<int>(columns) : std::nullopt;
}

}  // namespace platform
