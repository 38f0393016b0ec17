// The Win32 about box: its controls as described, the program's icon as a resource, the keys
// and the close box that end it, the home page link, the help text in the Windows build's
// words and code page, and its freeing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/HelpTextShape.h"
#include "ui/forms/AboutForm.h"
#include "ui/forms/HelpText.h"
#include "ui/forms/Pictures.h"
#include "ui/win32/About.h"
#include "ui/win32/AnsiText.h"
#include "ui/win32/BitmapImage.h"

namespace forms = ui::forms;
using ui::win32::TAboutDialog;

namespace {

RECT PlaceInParent(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The colour the dialog has the control show its text in.
COLORREF TextColourOf(const TAboutDialog& dialog, HWND control) {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageA(dialog.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(control));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
}

LOGFONTA FontOf(HWND hwnd) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    return font;
}

// A window of the test's own that owns the box, as the main window does.
struct Owner {
    Owner()
        : hwnd(::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr)) {}
    ~Owner() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

// What the thread timer below finds in the box that ShowAboutDialog shows.
struct Seen {
    HWND dialog = nullptr;
    std::string memo;
    bool readOnly = false;
    int lines = 0;
    int firstVisible = 0;
};
Seen* seen = nullptr;

void CALLBACK LookAtTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const HWND dialog = ::FindWindowA("TAboutDialog", nullptr);
    if (dialog != nullptr && seen != nullptr) {
        auto* form = ui::win32::FormWindow::Of(dialog);
        const HWND memo = form->Control("AboutMemo");
        seen->dialog = dialog;
        seen->memo = ui::win32::WindowText(memo);
        seen->readOnly = (::GetWindowLongPtrA(memo, GWL_STYLE) & ES_READONLY) != 0;
        seen->lines = static_cast<int>(::SendMessageA(memo, EM_GETLINECOUNT, 0, 0));
        ::SendMessageA(memo, WM_VSCROLL, SB_BOTTOM, 0);
        seen->firstVisible = static_cast<int>(::SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    if (dialog != nullptr) {
        ::PostMessageA(dialog, WM_CLOSE, 0, 0);  // the close box
    }
}

}  // namespace

TEST(Win32About, LaysOutItsControlsAsDescribed) {
    TAboutDialog dialog(nullptr);
    const forms::FormSpec& spec = forms::AboutForm();
    RECT client{};
    ::GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, spec.clientWidth);
    EXPECT_EQ(client.bottom, spec.clientHeight);
    EXPECT_EQ(ui::win32::WindowText(dialog.Handle()), "About");
    const LONG_PTR style = ::GetWindowLongPtrA(dialog.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(::GetWindowLongPtrA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    for (const forms::ControlSpec& control : spec.controls) {
        SCOPED_TRACE(std::string(control.name));
        const HWND hwnd = dialog.Control(control.name);
        const RECT r = PlaceInParent(hwnd);
        EXPECT_EQ(r.left, control.bounds.left);
        EXPECT_EQ(r.top, control.bounds.top);
        EXPECT_GE(r.right - r.left, control.bounds.width);
        EXPECT_GE(r.bottom - r.top, control.bounds.height);
        if (control.kind != forms::ControlKind::Label) {
            EXPECT_EQ(r.right - r.left, control.bounds.width);
            EXPECT_EQ(r.bottom - r.top, control.bounds.height);
        }
    }
    EXPECT_EQ(ui::win32::WindowText(dialog.Control("Version")),
              "Ver 2.32 for Windows 95/98/ME, NT");
    EXPECT_EQ(ui::win32::WindowText(dialog.Control("Copyright")),
              "\xA9 2026 The Discometer developers");
    EXPECT_EQ(TextColourOf(dialog, dialog.Control("ProductName")), RGB(128, 0, 128));
    EXPECT_EQ(FontOf(dialog.Control("ProductName")).lfHeight, -13);
    EXPECT_EQ(TextColourOf(dialog, dialog.Control("Address")), RGB(0, 0, 255));
    EXPECT_TRUE(FontOf(dialog.Control("Address")).lfUnderline);
    EXPECT_FALSE(FontOf(dialog.Control("AboutMemo")).lfUnderline);
    EXPECT_TRUE(FontOf(dialog.Control("OKButton")).lfUnderline);  // the dialog's own font
    EXPECT_TRUE(::GetWindowLongPtrA(dialog.Control("OKButton"), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

TEST(Win32About, TheIconResourceIsTheProgramsIcon) {
    // Drawn on magenta, which the icon does not hold, so that its see-through pixels show.
    const auto icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP canvas = ::CreateCompatibleBitmap(screen, 32, 32);
    const HGDIOBJ old = ::SelectObject(memory, canvas);
    const RECT all{0, 0, 32, 32};
    const HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
    ::FillRect(memory, &all, magenta);
    ::DrawIconEx(memory, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    const forms::Picture expected = forms::ProgramIconPicture();
    int mismatches = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const platform::Color shown = ui::win32::FromColorRef(::GetPixel(memory, x, y));
            const platform::Color wanted = expected.IsTransparent(x, y)
                                               ? platform::MakeColor(255, 0, 255)
                                               : expected.pixels.Pixel(x, y);
            mismatches += shown == wanted ? 0 : 1;
        }
    }
    EXPECT_EQ(mismatches, 0);
    ::SelectObject(memory, old);
    ::DeleteObject(magenta);
    ::DeleteObject(canvas);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    ::DestroyIcon(icon);
}

TEST(Win32About, EnterEscAndTheCloseBoxEndItWithOk) {
    struct Way {
        const char* name;
        UINT message;
        WPARAM code;
    };
    for (const Way& way : {Way{"Enter", WM_KEYDOWN, VK_RETURN}, Way{"Esc", WM_KEYDOWN, VK_ESCAPE},
                           Way{"close box", WM_CLOSE, 0}}) {
        SCOPED_TRACE(way.name);
        Owner owner;
        TAboutDialog dialog(owner.hwnd);
        const HWND target = way.message == WM_CLOSE ? dialog.Handle() : dialog.Control("OKButton");
        ::PostMessageA(target, way.message, way.code, 0);
        EXPECT_EQ(dialog.ShowModal(), forms::ModalResult::Ok);
        EXPECT_FALSE(::IsWindowVisible(dialog.Handle()));
        EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));  // given back its input
    }
}

TEST(Win32About, HomePageOpensEachTimeAndTheBoxStays) {
    std::vector<HWND> opened;
    TAboutDialog dialog(nullptr, [&](HWND owner) { opened.push_back(owner); });
    const HWND address = dialog.Control("Address");
    for (int click = 0; click < 2; ++click) {
        ::PostMessageA(address, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageA(address, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    ::PostMessageA(dialog.Control("OKButton"), WM_KEYDOWN, VK_ESCAPE, 0);
    dialog.ShowModal();
    EXPECT_EQ(opened, (std::vector<HWND>{dialog.Handle(), dialog.Handle()}));
}

TEST(Win32About, ShowsTheHelpTextInItsCodePageAndFreesItself) {
    Seen found;
    seen = &found;
    ::SetTimer(nullptr, 0, 0, &LookAtTheBox);
    ui::win32::ShowAboutDialog(nullptr, [](HWND) {});
    seen = nullptr;
    ASSERT_NE(found.dialog, nullptr);
    EXPECT_FALSE(::IsWindow(found.dialog));  // freed once closed
    EXPECT_EQ(found.memo, ui::win32::ToAnsi(forms::HelpText()));
    EXPECT_TRUE(found.readOnly);
    EXPECT_GE(found.lines, static_cast<int>(fixtures::CrLfLines(found.memo).size()));
    EXPECT_GT(found.firstVisible, 0);  // it scrolls through the whole text
}

TEST(Win32About, HelpTextSpeaksOfWindowsInItsCodePage) {
    const std::string text = ui::win32::ToAnsi(forms::HelpText());
    fixtures::ExpectHelpTextShape(text, [](const std::string& piece) { return piece.size(); });
    EXPECT_EQ(text.find('?'), std::string::npos) << "every character is in the code page";
    EXPECT_NE(text.find("\x93"
                        "800-200\x94"),
              std::string::npos);  // typographic quotes
    EXPECT_NE(text.find("drives under Windows,"), std::string::npos);
    EXPECT_NE(text.find("sectrd32.dll"), std::string::npos);
    EXPECT_EQ(text.find("Linux"), std::string::npos);
}
