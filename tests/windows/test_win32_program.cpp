// discometer.exe as a process: it starts, shows its window, measures the simulated disc to the
// end when Start is clicked, and ends with status 0 when the window is closed; on the Windows
// 95 family without the sector library it ends with status 1 before any window. Set
// DISCOMETER_SCREENSHOT to a file name and the window after the run is written there as a
// bitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/BmpFile.h"
#include "support/TempDir.h"
#include "support/WineTest.h"
#include "ui/win32/BitmapImage.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = wine::WindowsPath(DISCOMETER_WINDOW);

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    if (owner == search->process && std::string(name) == "TForm1") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The program started, with the environment changes, in the folder; ended if still running.
class Process {
  public:
    Process(const wine::EnvChanges& env, const std::string& folder) {
        std::string commandLine = "\"" + kProgram + "\"";
        std::string environment = wine::detail::EnvironmentBlock(env);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                    environment.data(), folder.c_str(), &startup, &process_);
    }
    ~Process() {
        if (started_) {
            if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(process_.hProcess, 1);
            }
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return started_; }
    // The exit status, or -1 when the program has not ended within two minutes.
    int ExitStatus() const {
        DWORD code = 0;
        if (::WaitForSingleObject(process_.hProcess, 120000) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(process_.hProcess, &code)) {
            return -1;
        }
        return static_cast<int>(code);
    }
    // The main window, once the program waits for input.
    HWND MainWindow() const {
        ::WaitForInputIdle(process_.hProcess, 120000);
        WindowSearch search{process_.dwProcessId, nullptr};
        ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

HWND ButtonCalled(HWND window, const char* caption) {
    HWND button = nullptr;
    while ((button = ::FindWindowExA(window, button, "Button", nullptr)) != nullptr) {
        char text[32] = {};
        ::GetWindowTextA(button, text, sizeof text);
        if (std::string(text) == caption) {
            return button;
        }
    }
    return nullptr;
}

// The whole window, frame and menu bar included, as the screen shows it.
void WriteScreenshot(HWND window, const std::string& file) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP copy = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(memory, copy);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    platform::Bitmap shot(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            shot.SetPixel(x, y, ui::win32::FromColorRef(::GetPixel(memory, x, y)));
        }
    }
    ::SelectObject(memory, old);
    ::DeleteObject(copy);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    EXPECT_FALSE(platform::WriteBmpFile(file, shot)) << file;
}

}  // namespace

TEST(Win32Program, RunsTheSimulatedDiscAndEndsWithStatusZeroWhenClosed) {
    fixtures::TempDir dir;
    const Process program({{"DISCOMETER_DRIVES", "sim-unpaced"}}, dir.path().string());
    ASSERT_TRUE(program.Started());
    const HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    char title[64] = {};
    ::GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Discometer v2.32");

    const HWND start = ButtonCalled(window, "&Start");
    ASSERT_NE(start, nullptr);
    ::SendMessageA(start, BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindowEnabled(start));
    // The ticks of Timer1, given at once rather than waited for; Start comes back at the end.
    for (int ticks = 0; !::IsWindowEnabled(start) && ticks < 100000; ++ticks) {
        ::SendMessageA(window, WM_TIMER, 1, 0);
    }
    EXPECT_TRUE(::IsWindowEnabled(start));
    if (const char* shot = std::getenv("DISCOMETER_SCREENSHOT")) {
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        WriteScreenshot(window, wine::WindowsPath(shot));
    }

    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitStatus(), 0);
    EXPECT_TRUE(fs::is_empty(dir.path()));  // nothing is saved at exit
}

TEST(Win32ProgramVersions, Windows98WithoutTheSectorLibraryEndsWithStatusOne) {
    fixtures::TempDir dir;
    const wine::ReportedVersion win98("win98");
    const Process program({{"DISCOMETER_DRIVES", std::nullopt}}, dir.path().string());
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.ExitStatus(), 1);
}
