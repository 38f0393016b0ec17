// The Win32 main window on a simulated drive with recording prompts, driven by the messages
// the system would send it; and what its windows show, read back from the screen.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "support/RunFakes.h"
#include "ui/forms/FormSpec.h"
#include "ui/win32/BitmapImage.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/Unit1.h"

namespace win32test {

// The window of the form on a simulated drive, shown, with recording prompts.
struct Window {
    explicit Window(std::unique_ptr<platform::System> system) {
        auto ownPrompts = std::make_unique<fakes::FakePrompts>();
        prompts = ownPrompts.get();
        form = std::make_unique<ui::win32::TForm1>(std::move(system), std::move(ownPrompts));
        form->SetAboutBox([this](HWND owner) {
            aboutOwner = owner;
            ++aboutShown;
        });
        if (!form->StartUpStatus()) {
            form->Show();
        }
    }

    explicit Window(platform::SimDiscParams disc = fakes::SmallDisc(),
                    const std::function<void(platform::SimSystem&)>& arrange = {})
        : Window(MakeSystem(std::move(disc), arrange)) {}

    HWND Handle() const { return form->Handle(); }
    HWND Control(std::string_view name) const { return form->Control(name); }

    // A click of the left mouse button on a button, as the button itself reports it.
    void Click(std::string_view name) const { ::SendMessageA(Control(name), BM_CLICK, 0, 0); }
    // A choice from the menu bar.
    void Choose(ui::forms::Command command) const { ChooseId(static_cast<UINT>(command)); }
    // The choice of the menu item with that identifier.
    void ChooseId(UINT id) const {
        ::SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    }
    // The 5 ms of Timer1 have passed.
    void Tick() const { ::SendMessageA(Handle(), WM_TIMER, ui::win32::TForm1::kTimer1Id, 0); }
    // Ticks while the timer runs; bounded so that a fault cannot hang the test.
    int RunToEnd() const {
        int ticks = 0;
        while (form->TimerEnabled() && ticks < 100000) {
            Tick();
            ++ticks;
        }
        return ticks;
    }
    std::string Panel(run::Panel panel) const { return form->PanelText(panel); }
    // A key pressed on the focused window, handled with the other messages waiting now, but
    // not the timers' messages: the test ticks itself, so no run moves on with the wall clock.
    static void Key(UINT message, WPARAM code) {
        ::PostMessageA(::GetFocus(), message, code, 0);
        MSG msg{};
        for (int handled = 0;
             handled < 1000 && (::PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
                                ::PeekMessageA(&msg, nullptr, WM_TIMER + 1, ~0U, PM_REMOVE));
             ++handled) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            ui::win32::DispatchToWindow(msg);
        }
    }

    static std::unique_ptr<platform::System> MakeSystem(
        platform::SimDiscParams disc, const std::function<void(platform::SimSystem&)>& arrange) {
        auto system =
            std::make_unique<platform::SimSystem>(std::make_shared<platform::SimDrive>(disc));
        if (arrange) {
            arrange(*system);
        }
        return system;
    }

    fakes::FakePrompts* prompts = nullptr;
    std::unique_ptr<ui::win32::TForm1> form;
    int aboutShown = 0;
    HWND aboutOwner = nullptr;
};

// Where the window lies in its parent's client area, as the system reports it.
inline RECT PlaceInParent(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What the window shows in its client area when it paints itself now.
inline platform::Bitmap Shown(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const HDC window = ::GetDC(hwnd);
    const HDC memory = ::CreateCompatibleDC(window);
    const HBITMAP copy = ::CreateCompatibleBitmap(window, client.right, client.bottom);
    const HGDIOBJ old = ::SelectObject(memory, copy);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(client.right * client.bottom));
    ::GetDIBits(memory, copy, 0, static_cast<UINT>(client.bottom), pixels.data(), &info,
                DIB_RGB_COLORS);
    platform::Bitmap shown(client.right, client.bottom);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y * client.right + x)];
            shown.SetPixel(x, y,
                           platform::MakeColor(static_cast<std::uint8_t>(p >> 16),
                                               static_cast<std::uint8_t>(p >> 8),
                                               static_cast<std::uint8_t>(p)));
        }
    }
    ::DeleteObject(copy);
    ::DeleteDC(memory);
    ::ReleaseDC(hwnd, window);
    return shown;
}

// The quit message that closing the main window posts, taken out of the queue so that it ends
// no loop of a later test.
inline bool TakeQuitMessage() {
    MSG msg{};
    return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace win32test
