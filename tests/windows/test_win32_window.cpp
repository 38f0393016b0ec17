// The Win32 main window driven by messages, as the system and the user would drive it: its
// controls where the description puts them, its menus, the states of a run, the chart and
// the gauge on the screen pixel for pixel, the keys, the saving and loading through the
// prompts, the guard against clicks that are no longer allowed, and the files of a scripted
// run against those of the Qt window.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <gtest/gtest.h>
#include <chrono>
#include <future>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <span>

#include "results/ChartFrame.h"
#include "results/ComparisonChart.h"
#include "run/ReadSpeed.h"
#include "support/ParityFiles.h"
#include "support/TempDir.h"
#include "support/Win32Fixture.h"
#include "support/WineTest.h"
#include "ui/forms/MainForm.h"
#include "ui/forms/WindowStates.h"
#include "ui/win32/AnsiText.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/StatusBar.h"
#include "ui/win32/Win32Prompts.h"

namespace forms = ui::forms;
using fixtures::InTempDir;
using run::Control;
using run::FileDialog;
using run::Panel;
using win32test::Window;

namespace {

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// The system's class each kind of control is made of.
std::string ClassOfKind(forms::ControlKind kind) {
    switch (kind) {
        case forms::ControlKind::Bevel:
        case forms::ControlKind::Label:
            return "Static";
        case forms::ControlKind::Panel:
            return "TPanel";
        case forms::ControlKind::Picture:
            return "TImage";
        case forms::ControlKind::DropDownList:
            return "ComboBox";
        case forms::ControlKind::PictureButton:
        case forms::ControlKind::PushButton:
            return "Button";
        case forms::ControlKind::Gauge:
            return "TGauge";
        case forms::ControlKind::StatusBar:
            return STATUSCLASSNAMEA;
        case forms::ControlKind::Memo:
            return "Edit";
    }
    return {};
}

bool SameClass(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

LONG_PTR StyleOf(HWND hwnd) {
    return ::GetWindowLongPtrA(hwnd, GWL_STYLE);
}

UINT MenuState(const Window& w, forms::Command command) {
    return ::GetMenuState(w.form->Menus().Handle(), static_cast<UINT>(command), MF_BYCOMMAND);
}

bool MenuChecked(const Window& w, forms::Command command) {
    return (MenuState(w, command) & MF_CHECKED) != 0;
}

// The error names the file, then the system's reason in its words without the full stop
// and line break that Windows ends them with.
bool SaysWhy(const std::string& error, const std::string& named) {
    const std::string prefix = named + ": ";
    return error.starts_with(prefix) && error.size() > prefix.size() && error.back() != '.' &&
           error.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

TEST(Win32WindowLayout, ControlsSitWhereTheDescriptionPutsThem) {
    Window w;
    const forms::FormSpec& form = forms::MainForm().form;
    RECT client{};
    ::GetClientRect(w.Handle(), &client);
    EXPECT_EQ(client.right, form.clientWidth);
    EXPECT_EQ(client.bottom, form.clientHeight);
    EXPECT_EQ(ClassOf(w.Handle()), "TForm1");
    EXPECT_EQ(ui::win32::WindowText(w.Handle()), "Discometer v2.32");
    // Fixed size, minimise and close only.
    const LONG_PTR style = StyleOf(w.Handle());
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    // In the centre of the screen.
    RECT frame{};
    ::GetWindowRect(w.Handle(), &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    for (const forms::ControlSpec& spec : form.controls) {
        SCOPED_TRACE(std::string(spec.name));
        const HWND hwnd = w.Control(spec.name);
        ASSERT_TRUE(::IsWindow(hwnd));
        EXPECT_EQ(::GetParent(hwnd), spec.parent.empty() ? w.Handle() : w.Control(spec.parent));
        EXPECT_TRUE(SameClass(ClassOf(hwnd), ClassOfKind(spec.kind))) << ClassOf(hwnd);
        const RECT r = win32test::PlaceInParent(hwnd);
        const forms::Bounds& b = spec.bounds;
        EXPECT_EQ(r.left, b.left);
        EXPECT_EQ(r.top, b.top);
        if (spec.kind == forms::ControlKind::Label) {
            // Labels grow to their caption, never shrink below the layout.
            EXPECT_GE(r.right - r.left, b.width);
            EXPECT_GE(r.bottom - r.top, b.height);
            EXPECT_EQ(ui::win32::WindowText(hwnd), ui::win32::ToAnsi(spec.caption));
        } else {
            EXPECT_EQ(r.right - r.left, b.width);
            EXPECT_EQ(r.bottom - r.top, b.height);
        }
        EXPECT_EQ((StyleOf(hwnd) & WS_TABSTOP) != 0, spec.tabStop);
    }
    EXPECT_EQ(ui::win32::WindowText(w.Control("Button1")), "&Start");
    EXPECT_EQ(StyleOf(w.Control("ComboBox1")) & CBS_DROPDOWNLIST, CBS_DROPDOWNLIST);

    // Five panels 105, 98, 94 and 145 wide, the last to the end of the bar; no size grip.
    const HWND bar = w.Control("StatusBar1");
    int edges[8] = {};
    ASSERT_EQ(::SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
    EXPECT_EQ(std::vector<int>(edges, edges + 5), (std::vector<int>{105, 203, 297, 442, -1}));
    EXPECT_FALSE(StyleOf(bar) & SBARS_SIZEGRIP);

    // The labels' font: the program's sans serif, 11 pixels high.
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(w.Control("Label1"), WM_GETFONT, 0, 0)),
                 sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_STREQ(font.lfFaceName, ui::win32::InstalledFace(forms::kFontFaces).c_str());
    // ... and the system shows the text in it, rather than in a face of its choice.
    const HDC dc = ::GetDC(w.Control("Label1"));
    const HGDIOBJ old = ::SelectObject(
        dc, reinterpret_cast<HFONT>(::SendMessageA(w.Control("Label1"), WM_GETFONT, 0, 0)));
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc, sizeof face, face);
    ::SelectObject(dc, old);
    ::ReleaseDC(w.Control("Label1"), dc);
    EXPECT_STREQ(face, font.lfFaceName);
}

namespace {

// The items of a menu as the description gives them: captions, separators, greyed and checked
// items, submenus; each item's identifier its command's number, or for an item that carries a
// number an identifier of its own that the bar knows it by.
void ExpectMenuItems(const Window& w, HMENU menu, std::span<const forms::MenuItemSpec> all,
                     std::set<UINT>& ids) {
    // Of the read speeds, the window on a CD shows a CD's.
    std::vector<forms::MenuItemSpec> items;
    for (const forms::MenuItemSpec& item : all) {
        if (item.command != forms::Command::ReadSpeed ||
            std::ranges::find(run::kCdReadSpeeds, item.tag) != run::kCdReadSpeeds.end()) {
            items.push_back(item);
        }
    }
    ASSERT_EQ(::GetMenuItemCount(menu), static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const forms::MenuItemSpec& item = items[i];
        SCOPED_TRACE(std::string(item.name));
        const auto position = static_cast<int>(i);
        const HMENU submenu = ::GetSubMenu(menu, position);
        UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (submenu != nullptr) {
            state = LOBYTE(state);  // the high byte counts the submenu's items
        }
        EXPECT_EQ((state & MF_SEPARATOR) != 0, item.separator);
        if (item.separator) {
            continue;
        }
        char text[64] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(text, ui::win32::ToAnsi(item.caption));
        EXPECT_EQ((state & MF_GRAYED) == 0, item.enabled);
        EXPECT_EQ((state & MF_CHECKED) != 0, item.checked);  // as start-up left them
        EXPECT_EQ(submenu != nullptr, !item.submenu.empty());
        if (submenu != nullptr) {
            ExpectMenuItems(w, submenu, item.submenu, ids);
            continue;
        }
        const UINT id = ::GetMenuItemID(menu, position);
        EXPECT_TRUE(ids.insert(id).second) << "identifier " << id << " twice";
        const auto numbered = w.form->Menus().NumberedItemOf(id);
        if (item.command == forms::Command::ReadSpeed) {
            ASSERT_TRUE(numbered.has_value());
            EXPECT_EQ(numbered->command, item.command);
            EXPECT_EQ(numbered->number, item.tag);
        } else {
            EXPECT_EQ(id, static_cast<UINT>(item.command));
            EXPECT_FALSE(numbered.has_value());
        }
    }
}

}  // namespace

TEST(Win32WindowLayout, MenusAreTheDescriptionsWithCommandsAsIdentifiers) {
    Window w;
    const HMENU bar = ::GetMenu(w.Handle());
    ASSERT_EQ(bar, w.form->Menus().Handle());
    const auto menus = forms::MainForm().menus;
    ASSERT_EQ(::GetMenuItemCount(bar), static_cast<int>(menus.size()));
    std::set<UINT> ids;
    for (std::size_t m = 0; m < menus.size(); ++m) {
        SCOPED_TRACE(std::string(menus[m].name));
        char text[64] = {};
        ::GetMenuStringA(bar, static_cast<UINT>(m), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(text, ui::win32::ToAnsi(menus[m].caption));
        const HMENU popup = ::GetSubMenu(bar, static_cast<int>(m));
        if (menus[m].items.empty()) {
            EXPECT_EQ(popup, nullptr);
            EXPECT_EQ(::GetMenuItemID(bar, static_cast<int>(m)),
                      static_cast<UINT>(menus[m].command));
            continue;
        }
        ExpectMenuItems(w, popup, menus[m].items, ids);
    }
    EXPECT_EQ(w.form->Menus().NumberedItems().size(), run::kReadSpeeds.size());
}

TEST(Win32WindowStartUp, WithoutDrivesListsNAAndStartSaysSo) {
    Window w(fakes::SmallDisc(), [](platform::SimSystem& s) { s.candidates.clear(); });
    ASSERT_FALSE(w.form->StartUpStatus().has_value());
    EXPECT_EQ(::SendMessageA(w.Control("ComboBox1"), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(w.form->DriveListText(), "NA");
    w.Click("Button1");
    EXPECT_EQ(w.prompts->sounds, std::vector<std::string>{"ERROR"});
    EXPECT_EQ(w.prompts->errors, std::vector<std::string>{"No drive"});
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
    EXPECT_FALSE(w.form->TimerEnabled());
}

TEST(Win32WindowStartUp, MissingSectorLibraryEndsWithStatusOneBeforeShowing) {
    Window w(fakes::SmallDisc(), [](platform::SimSystem& s) {
        s.version.platformId = platform::kPlatformWin95;
        s.modules.clear();
    });
    EXPECT_EQ(w.form->StartUpStatus(), std::optional<int>(1));
    EXPECT_FALSE(::IsWindowVisible(w.Handle()));
    EXPECT_EQ(::SendMessageA(w.Control("ComboBox1"), CB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(w.prompts->messages.empty());
}

TEST(Win32WindowStates, FollowTheStateTableThroughARunDrivenByMessages) {
    InTempDir temp;  // the run with AutoSave on writes its files here
    Window w;
    const std::map<Control, std::string_view> controls{{Control::StartButton, "Button1"},
                                                       {Control::StopButton, "Button2"},
                                                       {Control::DriveList, "ComboBox1"}};
    const auto enabled = [&](Control control) {
        if (controls.contains(control)) {
            return ::IsWindowEnabled(w.Control(controls.at(control))) != FALSE;
        }
        return w.form->Menus().IsEnabled(control);
    };
    std::map<Control, bool> before;
    const auto expectState = [&](forms::RunMoment moment) {
        const forms::WindowState& state = forms::MainWindowState(moment);
        SCOPED_TRACE(std::string(state.when));
        for (std::size_t i = 0; i < forms::kStateColumns.size(); ++i) {
            const Control control = forms::kStateColumns[i];
            const bool expected = state.usable[i] == forms::Usable::Unchanged
                                      ? before.at(control)
                                      : state.usable[i] == forms::Usable::Yes;
            EXPECT_EQ(enabled(control), expected) << "column " << i;
            before[control] = enabled(control);
        }
        EXPECT_EQ(w.form->TimerEnabled(), state.timerEnabled);
        EXPECT_EQ(::GetFocus(), w.Control(controls.at(state.focus)));
        // Options and About stay usable in every state.
        EXPECT_TRUE(w.form->Menus().CanChoose(forms::Command::N1000));
        EXPECT_TRUE(w.form->Menus().CanChoose(forms::Command::About));
    };

    expectState(forms::RunMoment::AfterStartUp);
    w.Click("Button1");
    expectState(forms::RunMoment::Running);
    EXPECT_EQ(w.Panel(Panel::State), "Proceed...");
    w.RunToEnd();
    expectState(forms::RunMoment::EndedAutoSaveOff);
    w.Choose(forms::Command::AutoSave);
    w.Click("Button1");
    expectState(forms::RunMoment::Running);
    w.RunToEnd();
    expectState(forms::RunMoment::EndedAutoSaveOn);
}

TEST(Win32WindowRun, ACompleteRunShowsTheChartAndTheGaugePixelForPixel) {
    Window w;
    w.Click("Button1");
    EXPECT_EQ(w.Panel(Panel::SectorsTotal), "Sectors Total : 20000");
    w.Tick();
    EXPECT_EQ(w.Panel(Panel::BlocksRead), "Blocks Read : 3");
    EXPECT_EQ(w.Panel(Panel::Speed), "Transfer Speed Kb/s : 8000");
    EXPECT_EQ(w.form->Document().back(), "3 8000");
    EXPECT_EQ(w.RunToEnd(), 9);
    EXPECT_EQ(w.Panel(Panel::State), "Complete");
    EXPECT_EQ(w.Panel(Panel::BlocksRead), "Blocks Read : 20");
    EXPECT_EQ(w.Panel(Panel::BlocksError), "Blocks Error : 0");
    EXPECT_EQ(w.prompts->sounds, std::vector<std::string>{"DONE"});
    EXPECT_EQ(w.form->State().DeviceHandle, nullptr);

    // The chart with its curve and summary, and the full gauge, as the run left them.
    EXPECT_EQ(win32test::Shown(w.Control("Image1")), w.form->ChartPicture().bitmap);
    EXPECT_EQ(w.form->Gauge1().Core().PercentDone(), 100);
    EXPECT_EQ(win32test::Shown(w.Control("Gauge1")), w.form->Gauge1().Core().Paint());
}

TEST(Win32WindowRun, StopEndsTheRunAndLateTicksAndDisabledClicksDoNothing) {
    Window w;
    w.Click("Button1");
    w.Tick();
    EXPECT_EQ(::GetFocus(), w.Control("Button2"));
    // Start is disabled during the run: a click that reaches it anyway starts nothing.
    const std::size_t lines = w.form->Document().size();
    w.Click("Button1");
    EXPECT_EQ(w.form->Document().size(), lines);
    EXPECT_EQ(w.form->State().BlockIndex, 3);

    w.Click("Button2");
    EXPECT_TRUE(w.form->TimerEnabled());  // Stop only asks
    EXPECT_TRUE(w.form->State().StopRequest);
    w.Tick();
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
    EXPECT_FALSE(w.form->TimerEnabled());
    EXPECT_TRUE(w.prompts->sounds.empty());

    // A tick the system had queued before the timer stopped is no tick.
    const results::DataList document = w.form->Document();
    w.Tick();
    ::PostMessageA(w.Handle(), WM_TIMER, ui::win32::TForm1::kTimer1Id, 0);
    ui::win32::ProcessPendingMessages();
    EXPECT_EQ(w.form->Document(), document);
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
}

namespace {
// What the window's message loop runs once the messages posted before it are handled.
std::function<void()> afterPostedMessages;
void CALLBACK RunAfterPostedMessages(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    afterPostedMessages();
}
}  // namespace

TEST(Win32WindowRun, ASlowReadLeavesTheWindowRunningAndTakesStopAndACloseAfterIt) {
    std::shared_ptr<platform::SimDrive> drive;
    Window w(fakes::SmallDisc(40000), [&drive](platform::SimSystem& s) { drive = s.Drive(); });
    w.Click("Button1");
    ASSERT_TRUE(w.form->TimerEnabled());
    // The first tick times block 3 in five seconds of the drive's time, held out until the
    // window has been used meanwhile.
    drive->ScriptDurations({250.0, 5000.0});
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    drive->SetReadHook([released](std::int64_t first) {
        if (first == 3000) {
            released.wait_for(std::chrono::seconds(30));  // bounded, should the window hang
        }
    });
    ::PostMessageA(w.Control("Button1"), BM_CLICK, 0, 0);  // not taken while the read is out
    ::PostMessageA(w.Control("Button2"), BM_CLICK, 0, 0);  // taken, honoured at the next tick
    ::PostMessageA(w.Handle(), WM_TIMER, ui::win32::TForm1::kReadingNoteId, 0);  // a second on
    ::PostMessageA(w.Handle(), WM_CLOSE, 0, 0);  // waits for the read
    bool readOut = false;
    std::string note;
    afterPostedMessages = [&] {
        readOut = w.form->ReadOut();
        note = w.Panel(Panel::State);
        release.set_value();
    };
    ::SetTimer(nullptr, 0, 0, RunAfterPostedMessages);
    const std::uint64_t readsBefore = drive->ReadCount();
    w.Tick();
    EXPECT_TRUE(readOut) << "the window ran its messages while the read was out";
    EXPECT_EQ(note, "Reading... block 3");
    EXPECT_EQ(w.Panel(Panel::State), "Proceed...");
    EXPECT_TRUE(w.form->State().StopRequest);
    EXPECT_EQ(drive->ReadCount(), readsBefore + 2) << "no read but the tick's own";
    EXPECT_EQ(w.form->Document().back(), "3 320") << "timed on the read's own length";
    EXPECT_FALSE(w.form->Closing());
    ui::win32::ProcessPendingMessages();  // the close put off until the read was back
    EXPECT_TRUE(w.form->Closing());
    EXPECT_EQ(drive->ReadCount(), readsBefore + 2);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends";
}

TEST(Win32WindowPictures, ButtonPicturesSitAsDescribedAndSinkWhenDisabled) {
    Window w;
    constexpr platform::Color kGreen = platform::MakeColor(18, 226, 107);
    const platform::Color face = ui::win32::FromColorRef(::GetSysColor(COLOR_BTNFACE));
    const auto columns = [](const platform::Bitmap& button, platform::Color colour) {
        std::vector<int> found;
        for (int x = 0; x < button.Width(); ++x) {
            for (int y = 3; y < button.Height() - 3; ++y) {
                if (button.Pixel(x, y) == colour) {
                    found.push_back(x);
                    break;
                }
            }
        }
        return found;
    };
    // The arrow 10 pixels from the left edge (its first green column is the picture's second),
    // on the face where the picture is silver; the caption 8 pixels after the picture.
    const platform::Bitmap start = win32test::Shown(w.Control("Button1"));
    const auto green = columns(start, kGreen);
    ASSERT_FALSE(green.empty());
    EXPECT_EQ(green.front(), 11);
    EXPECT_EQ(start.Pixel(10, 5), face);  // the picture's top left corner, silver in it
    const auto text = columns(start, ui::win32::FromColorRef(::GetSysColor(COLOR_BTNTEXT)));
    const auto caption = std::ranges::find_if(text, [](int x) { return x > 23 && x < 60; });
    ASSERT_NE(caption, text.end());
    EXPECT_GE(*caption, 31);
    EXPECT_LE(*caption, 33);

    // Stop's square, centred; disabled during a run, Start shows no colour of its own.
    const platform::Bitmap stop = win32test::Shown(w.Control("Button2"));
    const auto red = columns(stop, platform::MakeColor(255, 0, 0));
    ASSERT_FALSE(red.empty());
    EXPECT_NEAR((red.front() + red.back()) / 2.0, stop.Width() / 2.0, 2.0);
    w.Click("Button1");
    EXPECT_TRUE(columns(win32test::Shown(w.Control("Button1")), kGreen).empty());
}

TEST(Win32WindowMenus, SequencerMarksAutoSaveAndGreyedItems) {
    Window w;
    const auto marks = [&w] {
        return std::vector<bool>{MenuChecked(w, forms::Command::N1000),
                                 MenuChecked(w, forms::Command::N800),
                                 MenuChecked(w, forms::Command::N600)};
    };
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
    w.Choose(forms::Command::N1000);
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    w.Choose(forms::Command::N1000);  // the marked item stays marked
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    w.Choose(forms::Command::N600);
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(MenuChecked(w, forms::Command::AutoSave));
    w.Choose(forms::Command::AutoSave);
    EXPECT_TRUE(MenuChecked(w, forms::Command::AutoSave));
    w.Choose(forms::Command::AutoSave);
    EXPECT_FALSE(MenuChecked(w, forms::Command::AutoSave));

    // Greyed out, the save items do nothing; during a run the whole Files menu is out of reach.
    w.prompts->answers = {"never.bmp", "never.dat"};
    w.Choose(forms::Command::SaveGraphic);
    w.Choose(forms::Command::SaveData);
    w.Click("Button1");
    EXPECT_EQ(w.form->State().DataSectors, 600);
    EXPECT_TRUE(MenuState(w, forms::Command::LoadData) == MF_ENABLED);
    w.Choose(forms::Command::LoadData);
    EXPECT_TRUE(w.prompts->asked.empty());
    w.Choose(forms::Command::About);
    EXPECT_EQ(w.aboutShown, 1);
    EXPECT_EQ(w.aboutOwner, w.Handle());
}

namespace {

// The Read Speed menu: the one submenu inside the bar's menus.
HMENU ReadSpeedMenu(const Window& w) {
    const HMENU bar = w.form->Menus().Handle();
    for (int m = 0; m < ::GetMenuItemCount(bar); ++m) {
        const HMENU popup = ::GetSubMenu(bar, m);
        for (int i = 0; popup != nullptr && i < ::GetMenuItemCount(popup); ++i) {
            if (const HMENU submenu = ::GetSubMenu(popup, i)) {
                return submenu;
            }
        }
    }
    return nullptr;
}

// The speeds of the document's result lines.
std::vector<long> ResultSpeeds(const results::DataList& document) {
    std::vector<long> speeds;
    bool results = false;
    for (const std::string& line : document) {
        if (results && !line.empty()) {
            speeds.push_back(std::stol(line.substr(line.find(' ') + 1)));
        }
        results = results || line == "[TransferResults]";
    }
    return speeds;
}

// The right edges of the status bar's panels, -1 for the one that reaches the end.
std::vector<int> StatusParts(const Window& w) {
    int edges[8] = {};
    const auto count =
        ::SendMessageA(w.Control("StatusBar1"), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges));
    return std::vector<int>(edges, edges + count);
}

}  // namespace

TEST(Win32WindowMenus, ReadSpeedItemsHoldOneCheckAndHoldTheNextRunToTheirSpeed) {
    Window w(platform::MakeNativeSystem(parity::kCdRun.drive));
    const HMENU speeds = ReadSpeedMenu(w);
    ASSERT_NE(speeds, nullptr);
    ASSERT_EQ(::GetMenuItemCount(speeds), static_cast<int>(run::kCdReadSpeeds.size()));
    const auto checked = [&] {
        std::vector<int> found;
        for (std::size_t i = 0; i < run::kCdReadSpeeds.size(); ++i) {
            if (::GetMenuState(speeds, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) {
                found.push_back(run::kCdReadSpeeds[i]);
            }
        }
        return found;
    };
    const auto itemOf = [&](int speed) {
        const auto at = std::ranges::find(run::kCdReadSpeeds, speed);
        return ::GetMenuItemID(speeds, static_cast<int>(at - run::kCdReadSpeeds.begin()));
    };
    for (std::size_t i = 0; i < run::kCdReadSpeeds.size(); ++i) {
        char text[16] = {};
        ::GetMenuStringA(speeds, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(text, run::ReadSpeedCaption(run::kCdReadSpeeds[i]));
    }
    EXPECT_EQ(checked(), std::vector<int>{run::kMaxReadSpeed});
    EXPECT_EQ(w.form->ReadSpeedChoice(), run::kMaxReadSpeed);

    w.ChooseId(itemOf(16));
    EXPECT_EQ(checked(), std::vector<int>{16});
    EXPECT_EQ(w.form->ReadSpeedChoice(), 16);
    w.ChooseId(itemOf(16));  // a second click keeps the choice
    EXPECT_EQ(checked(), std::vector<int>{16});

    // The run on the simulated drive: never faster than 16 x 150 KB/s.
    w.Click("Button1");
    w.RunToEnd();
    ASSERT_EQ(w.Panel(Panel::State), "Complete");
    EXPECT_TRUE(w.form->State().ReadSpeedTaken);
    const std::vector<long> capped = ResultSpeeds(w.form->Document());
    ASSERT_GT(capped.size(), 100u);
    EXPECT_LE(*std::ranges::max_element(capped), 2400);
    EXPECT_LE(w.form->State().MaxSpeed, 2400.0);

    // Back to Max: the drive's own speed again.
    w.ChooseId(itemOf(run::kMaxReadSpeed));
    EXPECT_EQ(checked(), std::vector<int>{run::kMaxReadSpeed});
    w.Click("Button1");
    w.RunToEnd();
    EXPECT_GT(w.form->State().MaxSpeed, 2400.0);
}

TEST(Win32WindowMenus, TheReadSpeedMenuHoldsTheSpeedsOfTheLoadedMedium) {
    Window w(platform::MakeNativeSystem("sim-unpaced,sim-dvd-unpaced"));
    const HMENU speeds = ReadSpeedMenu(w);
    ASSERT_NE(speeds, nullptr);
    const auto shown = [speeds] {
        std::string all;
        for (int i = 0; i < ::GetMenuItemCount(speeds); ++i) {
            char text[16] = {};
            ::GetMenuStringA(speeds, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const bool checked =
                (::GetMenuState(speeds, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
            all += (all.empty() ? "" : " ") + std::string(text) + (checked ? "*" : "");
        }
        return all;
    };
    const auto idOf = [&w](int speed) {
        for (const auto& item : w.form->Menus().NumberedItems()) {
            if (item.number == speed) {
                return item.id;
            }
        }
        return 0u;
    };
    w.ChooseId(idOf(52));
    EXPECT_EQ(shown(), "Max 52x* 48x 40x 32x 24x 16x 8x 4x");
    const HWND list = w.Control("ComboBox1");
    ::SendMessageA(list, CB_SETCURSEL, 1, 0);
    ::SendMessageA(w.Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(shown(), "Max* 16x 12x 8x 6x 4x 2x 1x") << "52x is no DVD speed: Max again";
    w.ChooseId(idOf(48));  // hidden: cannot be chosen
    EXPECT_EQ(w.form->ReadSpeedChoice(), run::kMaxReadSpeed);
    w.ChooseId(idOf(12));
    EXPECT_EQ(w.form->ReadSpeedChoice(), 12);
}

TEST(Win32WindowLargeVolumes, ADvdRunEndsWithTheWidePanelsAndACdBringsTheClassicOnesBack) {
    const std::vector<int> classic{105, 203, 297, 442, -1};
    const std::vector<int> wide{95, 207, 319, 474, -1};
    Window w(platform::MakeNativeSystem(parity::kDvdRun.drive));
    EXPECT_EQ(StatusParts(w), classic);
    w.Click("Button1");
    w.RunToEnd();
    ASSERT_EQ(w.Panel(Panel::State), "Complete");
    EXPECT_EQ(w.form->State().Layout.medium, run::Medium::DVD);
    EXPECT_EQ(StatusParts(w), wide);
    EXPECT_EQ(w.Panel(Panel::SectorsTotal), "Sectors Total : 2295104");
    // Every panel shows its whole text in the bar's font.
    const HWND bar = w.Control("StatusBar1");
    const HDC dc = ::GetDC(bar);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(bar, WM_GETFONT, 0, 0)));
    for (int panel = 0; panel < forms::kStatusPanelCount; ++panel) {
        const std::string text = w.Panel(static_cast<Panel>(panel));
        SCOPED_TRACE(text);
        SIZE size{};
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        RECT r{};
        ::SendMessageA(bar, SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&r));
        EXPECT_LE(size.cx, r.right - r.left - 4);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(bar, dc);

    // A CD's document, loaded, has the classic widths again, and its texts stay.
    w.prompts->answers = {
        (std::filesystem::path(wine::WindowsPath(DISCOMETER_PARITY_DIR)) / parity::kCdRun.dataFile)
            .string()};
    w.Choose(forms::Command::LoadData);
    EXPECT_EQ(w.form->State().Layout.medium, run::Medium::CD);
    EXPECT_EQ(StatusParts(w), classic);
    EXPECT_EQ(w.Panel(Panel::State), "Complete");
}

TEST(Win32WindowDrives, TheDriveListsTooltipNamesTheDriveShown) {
    Window w(platform::MakeNativeSystem("sim-dvd,sim"));
    EXPECT_EQ(w.form->DriveListTip(), "Discometer Simulated DVD-ROM 16x SIM1  DVD-ROM");
    // The user picks the next drive with the keyboard; the list reports it.
    const HWND list = w.Control("ComboBox1");
    ::SetFocus(list);
    ::SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(w.form->DriveListText(), "sim");
    EXPECT_EQ(w.form->DriveListTip(), "Discometer Simulated CD-ROM 52x SIM1  CD-ROM");
    // Of a disc image the system knows nothing: no tip.
    Window image(platform::MakeNativeSystem(wine::TestIso()));
    ASSERT_EQ(image.form->DriveListText(), wine::TestIso());
    EXPECT_EQ(image.form->DriveListTip(), "");
}

TEST(Win32WindowFiles, SaveAndLoadGoThroughThePrompts) {
    InTempDir temp;
    Window w;
    w.Click("Button1");
    w.RunToEnd();
    w.prompts->answers = {std::nullopt, "run.bmp", "run.dat", "missing\\dir\\run.dat"};
    w.Choose(forms::Command::SaveGraphic);  // cancelled
    w.Choose(forms::Command::SaveGraphic);
    w.Choose(forms::Command::SaveData);
    w.Choose(forms::Command::SaveData);
    EXPECT_EQ(w.prompts->asked,
              (std::vector<FileDialog>{FileDialog::SaveGraphic, FileDialog::SaveGraphic,
                                       FileDialog::SaveData, FileDialog::SaveData}));
    EXPECT_EQ(platform::LoadBmpFile("run.bmp"), std::optional(w.form->ChartPicture().bitmap));
    EXPECT_NE(fixtures::ReadBytes("run.dat").find("[TransferResults]\r\n1 8000\r\n"),
              std::string::npos);
    // The system's reason follows the name, in the system's words.
    ASSERT_EQ(w.prompts->errors.size(), 1u);
    EXPECT_TRUE(SaysWhy(w.prompts->errors[0], "Cannot create file missing\\dir\\run.dat"))
        << w.prompts->errors[0];

    Window other;
    other.prompts->answers = {"run.dat", "absent.dat"};
    other.Choose(forms::Command::LoadData);
    EXPECT_EQ(other.form->Document(), w.form->Document());
    EXPECT_EQ(other.Panel(Panel::State), "Complete");
    other.Choose(forms::Command::LoadData);
    ASSERT_EQ(other.prompts->errors.size(), 1u);
    EXPECT_TRUE(SaysWhy(other.prompts->errors[0], "Cannot open file absent.dat"))
        << other.prompts->errors[0];
    EXPECT_EQ(other.form->Document(), w.form->Document());
}

TEST(Win32WindowFiles, CompareWithDrawsTheEarlierRunAndItsVerdictStandsOverThePanels) {
    InTempDir temp;
    {
        Window young;
        young.Click("Button1");
        young.RunToEnd();
        young.prompts->answers = {"young.dat"};
        young.Choose(forms::Command::SaveData);
    }
    Window w(fakes::AgedSmallDisc());
    w.Click("Button1");
    w.RunToEnd();
    const std::vector<int> panels = StatusParts(w);
    w.prompts->answers = {"young.dat"};
    w.Choose(forms::Command::CompareWith);
    EXPECT_EQ(w.prompts->asked.back(), FileDialog::CompareWith);
    const std::string verdict = "Worse: 1 new unreadable, 1 slower region";
    EXPECT_EQ(w.form->StatusNote(), verdict);
    // One part across the bar holds the note; the panels keep their texts beneath it.
    EXPECT_EQ(StatusParts(w), std::vector<int>{-1});
    EXPECT_EQ(ui::win32::StatusText(w.Control("StatusBar1"), 0), verdict);
    EXPECT_EQ(w.Panel(Panel::State), "Complete");
    // Where the aged run was slower, the young run's curve shows behind it on the screen.
    const run::RunState& s = w.form->State();
    const int x = results::BlockToX(s, 5) + 1;
    const int y = results::TruncPixel(results::SpeedToPointY(s, 8000));
    EXPECT_EQ(w.form->ChartPicture().bitmap.Pixel(x, y), results::kEarlierCurveColor);
    EXPECT_EQ(win32test::Shown(w.Control("Image1")).Pixel(x, y), results::kEarlierCurveColor);

    // Loading a run drops the comparison and gives the panels back, with their texts.
    w.prompts->answers = {"young.dat"};
    w.Choose(forms::Command::LoadData);
    EXPECT_EQ(w.form->StatusNote(), "");
    EXPECT_EQ(StatusParts(w), panels);
    EXPECT_EQ(ui::win32::StatusText(w.Control("StatusBar1"), 0), "Complete");
    EXPECT_NE(w.form->ChartPicture().bitmap.Pixel(x, y), results::kEarlierCurveColor);
}

TEST(Win32WindowReplay, ClicksDuringAReplayCannotChangeItsDocument) {
    InTempDir temp;
    fakes::WriteLongDataFile("long.dat");
    Window w;
    int passes = 0;
    w.prompts->onEvents = [&] {
        ++passes;
        w.prompts->answers = {"long.dat"};
        w.Click("Button1");
        w.Choose(forms::Command::LoadData);
        w.Choose(forms::Command::About);  // still allowed: it changes nothing of the run
        if (passes == 50) {
            ::SendMessageA(w.Handle(), WM_CLOSE, 0, 0);
        }
    };
    w.prompts->answers = {"long.dat"};
    w.Choose(forms::Command::LoadData);

    EXPECT_EQ(passes, 50);                             // closing ended the replay at its next line
    EXPECT_EQ(w.prompts->asked.size(), 1u);            // Load Data was refused meanwhile
    EXPECT_EQ(w.form->State().DeviceHandle, nullptr);  // and so was Start
    EXPECT_EQ(w.aboutShown, 50);
    EXPECT_EQ(w.form->State().BlockIndex, 101);  // the line drawn before the window closed
    EXPECT_TRUE(w.form->Closing());
    EXPECT_FALSE(::IsWindow(w.Handle()));
    EXPECT_TRUE(win32test::TakeQuitMessage());  // the program would end
}

TEST(Win32WindowKeys, TabEnterAltAndEscAsTheDescriptionSays) {
    Window w;
    ASSERT_EQ(::GetFocus(), w.Control("Button1"));
    const auto key = &Window::Key;
    key(WM_KEYDOWN, VK_TAB);  // the drive list is passed by
    EXPECT_EQ(::GetFocus(), w.Control("Button2"));
    key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), w.Control("Button1"));
    key(WM_KEYDOWN, VK_ESCAPE);  // the window has no cancel button
    EXPECT_FALSE(w.form->TimerEnabled());
    EXPECT_TRUE(w.prompts->sounds.empty());

    key(WM_SYSCHAR, 's');  // Alt+S: the Start button's accelerator
    EXPECT_TRUE(w.form->TimerEnabled());
    EXPECT_EQ(::GetFocus(), w.Control("Button2"));
    key(WM_KEYDOWN, VK_RETURN);  // presses the focused button: Stop
    EXPECT_TRUE(w.form->State().StopRequest);
    w.Tick();
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");

    // F4 takes the keyboard to the drive list, which Tab passes by, and opens it.
    key(WM_KEYDOWN, VK_F4);
    const HWND list = w.Control("ComboBox1");
    EXPECT_TRUE(::GetFocus() == list || ::IsChild(list, ::GetFocus()));
    EXPECT_TRUE(::SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0));
}

TEST(Win32WindowPrompts, FileDialogsCarryTheirTitlesFiltersAndExtensions) {
    using namespace std::string_literals;
    struct Expected {
        FileDialog which;
        std::string title;
        std::string filter;
        std::string extension;
    };
    for (const Expected& e : {
             Expected{FileDialog::SaveGraphic, "Save Graphic",
                      "Bit Map Files (*.bmp)\0*.bmp\0All Files (*.*)\0*.*\0\0"s, "bmp"},
             Expected{FileDialog::SaveData, "Save Data",
                      "Data Files (*.dat)\0*.dat\0All Files (*.*)\0*.*\0\0"s, "dat"},
             Expected{FileDialog::LoadData, "Load Data",
                      "Data Files (*.dat)\0*.dat\0All Files (*.*)\0*.*\0\0"s, "dat"},
         }) {
        SCOPED_TRACE(e.title);
        const ui::win32::FileDialogSettings d(forms::FileDialogOf(e.which), nullptr);
        EXPECT_EQ(d.settings.lStructSize, OPENFILENAME_SIZE_VERSION_400A);
        EXPECT_EQ(std::string(d.settings.lpstrTitle), e.title);
        EXPECT_EQ(std::string(d.settings.lpstrFilter, e.filter.size()), e.filter);
        EXPECT_EQ(d.settings.nFilterIndex, 1u);
        EXPECT_EQ(std::string(d.settings.lpstrDefExt), e.extension);
        // No question before an existing file is replaced.
        EXPECT_FALSE(d.settings.Flags & OFN_OVERWRITEPROMPT);
        EXPECT_GE(d.settings.nMaxFile, static_cast<DWORD>(MAX_PATH));
    }
}

TEST(Win32Texts, FormsTextsGoToWindows1252) {
    EXPECT_EQ(ui::win32::ToAnsi("Save &Graphic"), "Save &Graphic");
    EXPECT_EQ(ui::win32::ToAnsi("\u00A9 2026"), "\xA9 2026");
    EXPECT_EQ(ui::win32::ToAnsi("\u201C800-200\u201D drive\u2019s \u20AC"),
              "\x93"
              "800-200\x94 drive\x92s \x80");
    EXPECT_EQ(ui::win32::ToAnsi("\u0416 \xFF \xE2\x80"), "? ? ?");  // none of it is Windows-1252
    EXPECT_EQ(ui::win32::ToAnsi("\xC0\x80"), "??");                 // an overlong NUL
}

TEST(Win32Parity, ScriptedRunsWriteWhatEveryFrontEndWrites) {
    for (const parity::Run& run : parity::kRuns) {
        SCOPED_TRACE(run.drive);
        InTempDir temp;
        Window w(platform::MakeNativeSystem(run.drive));
        ASSERT_EQ(w.form->DriveListText(), run.drive);
        w.Click("Button1");
        w.RunToEnd();
        ASSERT_EQ(w.Panel(Panel::State), "Complete");
        w.prompts->answers = {"run.bmp", "run.dat"};
        w.Choose(forms::Command::SaveGraphic);
        w.Choose(forms::Command::SaveData);
        const std::string dat = fixtures::ReadBytes("run.dat");
        const std::string bmp = fixtures::ReadBytes("run.bmp");
        ASSERT_FALSE(dat.empty());
        ASSERT_FALSE(bmp.empty());

        // What the Qt window wrote for the same run; only the system's identity may differ.
        const std::filesystem::path kept = wine::WindowsPath(DISCOMETER_PARITY_DIR);
        const std::string keptDat = fixtures::ReadBytes(kept / run.dataFile);
        EXPECT_NE(dat, keptDat) << "the system is named";
        EXPECT_EQ(parity::LinesWithoutSystem(dat), parity::LinesWithoutSystem(keptDat));
        EXPECT_EQ(parity::PictureDifference(bmp, fixtures::ReadBytes(kept / run.pictureFile)),
                  std::nullopt);
    }
}
