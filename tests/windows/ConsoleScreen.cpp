// Runs a command line on a console of its own, as a user's terminal would run it, and prints
// the lines the console shows afterwards, without their trailing blanks; ends with the
// command's exit status. A console of its own keeps the caller's console, if any, as it was.
// usage: console_screen "COMMAND LINE"
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: console_screen \"COMMAND LINE\"\n");
        return 2;
    }
    ::FreeConsole();
    if (!::AllocConsole()) {
        std::fprintf(stderr, "no console: error %lu\n", ::GetLastError());
        return 2;
    }
    // The command's standard handles are the console's, whatever this program was given.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE screen =
        ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherit, OPEN_EXISTING, 0, nullptr);
    const HANDLE keyboard =
        ::CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherit, OPEN_EXISTING, 0, nullptr);
    std::string commandLine = argv[1];
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = keyboard;
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    PROCESS_INFORMATION process{};
    if (screen == INVALID_HANDLE_VALUE ||
        !::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr, "cannot run %s: error %lu\n", argv[1], ::GetLastError());
        return 2;
    }
    DWORD status = 2;
    if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &status)) {
        ::TerminateProcess(process.hProcess, 2);
    }
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ::GetConsoleScreenBufferInfo(screen, &info);
    std::string shown;
    for (SHORT y = 0; y < info.dwCursorPosition.Y || (y == 0 && info.dwCursorPosition.X > 0); ++y) {
        std::string line(static_cast<std::size_t>(info.dwSize.X), ' ');
        DWORD got = 0;
        ::ReadConsoleOutputCharacterA(screen, line.data(), static_cast<DWORD>(line.size()),
                                      COORD{0, y}, &got);
        line.resize(line.find_last_not_of(' ') + 1);
        shown += line + "\n";
    }
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    ::FreeConsole();
    std::fputs(shown.c_str(), stdout);
    return static_cast<int>(status);
}
