#include "ui/win32/Unit1.h"

#include <algorithm>
#include <exception>
#include <string>

#include "run/ReadSpeed.h"
#include "startup/DriveDiscovery.h"
#include "ui/forms/Handlers.h"
#include "ui/forms/MainForm.h"
#include "ui/win32/About.h"
#include "ui/win32/BitmapImage.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/StatusBar.h"

namespace ui::win32 {

namespace {

// The drive list drops down wide enough for entries such as "sim-unpaced".
void WidenDropDown(HWND list, const std::vector<std::string>& items) {
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::string& item : items) {
        SIZE size{};
        ::GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(item.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    ::SendMessageA(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 8), 0);
}

}  // namespace

TForm1::TForm1(std::unique_ptr<platform::System> system, std::unique_ptr<run::UserPrompts> prompts)
    : FormWindow(forms::MainForm().form),
      MainFormCore(std::make_unique<forms::BackgroundReadSystem>(std::move(system)),
                   std::move(prompts)),
      reads_(&static_cast<forms::BackgroundReadSystem&>(Context().system)),
      menuBar_(forms::MainForm().menus),
      statusPanels_(forms::MainForm().statusPanels) {
    Build(nullptr, {&ChartPicture().bitmap, statusPanels_}, menuBar_.Handle());
    reads_->SetWaiter({[this](const std::function<bool()>& done) { WaitForRead(done); },
                       // From the reading thread: any message wakes the waiting window.
                       [window = Handle()] { ::PostMessageA(window, WM_NULL, 0, 0); }});
    driveTip_ = std::make_unique<ToolTip>(ControlWindow(run::Control::DriveList));
    FormCreate();
}

TForm1::~TForm1() {
    StopRunNow();
    Destroy();
}

void TForm1::Show(int showCommand) {
    ::ShowWindow(Handle(), showCommand);
    ::UpdateWindow(Handle());
    FocusFirst();
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kReadingNoteId) {
                ::KillTimer(Handle(), kReadingNoteId);
                stateBeforeNote_ = PanelText(run::Panel::State);
                SetPanelText(run::Panel::State,
                             "Reading... block " + std::to_string(State().StartSector / 1000));
                return 0;
            }
            // A tick already queued when the timer was stopped is no tick.
            if (wParam == kTimer1Id && timerEnabled_ && !ReadOut()) {
                Guarded([this] { Timer1Timer(); });
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == CBN_SELCHANGE &&
                reinterpret_cast<HWND>(lParam) == ControlWindow(run::Control::DriveList)) {
                ShowDriveIdentity();
                return 0;
            }
            return FormWindow::HandleMessage(message, wParam, lParam);
        case WM_CLOSE:
            if (ReadOut()) {
                // The read's buffer and the run are still in use: closed once it is back.
                closeWhenReadBack_ = true;
                return 0;
            }
            // Nothing is saved; a run in progress simply stops, a replay at its next line.
            closing_ = true;
            StopRunNow();
            Destroy();
            ::PostQuitMessage(0);
            return 0;
        default:
            return FormWindow::HandleMessage(message, wParam, lParam);
    }
}

void TForm1::RunCommand(forms::Command command) {
    // While a read is out only Stop is taken; the rest would start or save a run meanwhile.
    if (ReadOut() && command != forms::Command::Stop) {
        return;
    }
    Guarded([this, command] { (this->*forms::MainHandlerOf(command))(); });
}

void TForm1::WaitForRead(const std::function<bool()>& done) {
    ::SetTimer(Handle(), kReadingNoteId, 1000, nullptr);
    RunModalLoop(done);
    ::KillTimer(Handle(), kReadingNoteId);
    if (stateBeforeNote_) {
        SetPanelText(run::Panel::State, *stateBeforeNote_);
        stateBeforeNote_.reset();
    }
    if (closeWhenReadBack_) {
        ::PostMessageA(Handle(), WM_CLOSE, 0, 0);
    }
}

void TForm1::MenuCommand(UINT id) {
    if (!menuBar_.CanChoose(id)) {
        return;
    }
    const auto numbered = menuBar_.NumberedItemOf(id);
    if (!numbered) {
        RunCommand(static_cast<forms::Command>(id));
    } else if (numbered->command == forms::Command::ReadSpeed) {
        Guarded([this, speed = numbered->number] { ReadSpeedClick(speed); });
    }
}

void TForm1::About1Click() {
    if (showAbout_) {
        showAbout_(Handle());
    } else {
        ShowAboutDialog(Handle());
    }
}

void TForm1::ReadSpeedClick(std::int32_t speed) {
    menuBar_.CheckNumber(forms::Command::ReadSpeed, speed);
}

void TForm1::StopRunNow() {
    SetTimerEnabled(false);
    State().DeviceHandle.reset();
}

std::string TForm1::PanelText(run::Panel panel) const {
    if (!note_.empty()) {
        return panelTexts_.at(static_cast<std::size_t>(panel));
    }
    return StatusText(Control("StatusBar1"), static_cast<int>(panel));
}

void TForm1::SetPanelText(run::Panel panel, std::string_view text) {
    panelTexts_.at(static_cast<std::size_t>(panel)) = std::string(text);
    if (note_.empty()) {
        SetStatusText(Control("StatusBar1"), statusPanels_, static_cast<int>(panel), text);
    }
}

void TForm1::SetStatusNote(std::string_view text) {
    const HWND bar = Control("StatusBar1");
    if (!text.empty()) {
        note_ = std::string(text);
        ShowStatusNote(bar, note_);
        return;
    }
    if (note_.empty()) {
        return;
    }
    note_.clear();
    SetStatusPanels(bar, statusPanels_);
    for (std::size_t i = 0; i < panelTexts_.size(); ++i) {
        SetStatusText(bar, statusPanels_, static_cast<int>(i), panelTexts_[i]);
    }
}

void TForm1::SetPanelWidths(run::PanelWidths widths) {
    const forms::MainFormSpec& spec = forms::MainForm();
    statusPanels_ = widths == run::PanelWidths::Wide ? spec.wideStatusPanels : spec.statusPanels;
    if (note_.empty()) {
        SetStatusPanels(Control("StatusBar1"), statusPanels_);
    }
}

void TForm1::SetGaugeProgress(std::int32_t value) {
    Gauge1().Core().SetProgress(value);
}

void TForm1::SetGaugeMaxValue(std::int32_t value) {
    Gauge1().Core().SetMaxValue(value);
}

void TForm1::SetGaugeColors(platform::Color back, platform::Color fore) {
    Gauge1().Core().SetBackColor(back);
    Gauge1().Core().SetForeColor(fore);
}

HWND TForm1::ControlWindow(run::Control control) const {
    for (const BuiltControl& built : Controls().Controls()) {
        if (built.spec->control == control) {
            return built.hwnd;
        }
    }
    return nullptr;
}

void TForm1::SetEnabled(run::Control control, bool enabled) {
    if (const HWND hwnd = ControlWindow(control)) {
        ::EnableWindow(hwnd, enabled);
    } else if (menuBar_.Has(control)) {
        menuBar_.SetEnabled(control, enabled, Handle());
    }
}

bool TForm1::IsEnabled(run::Control control) const {
    if (const HWND hwnd = ControlWindow(control)) {
        return ::IsWindowEnabled(hwnd) != FALSE;
    }
    return menuBar_.IsEnabled(control);
}

void TForm1::SetFocus(run::Control control) {
    if (const HWND hwnd = ControlWindow(control)) {
        ::SetFocus(hwnd);
    }
}

bool TForm1::IsChecked(run::MenuMark item) const {
    return menuBar_.IsChecked(item);
}

void TForm1::SetChecked(run::MenuMark item, bool checked) {
    menuBar_.SetChecked(item, checked);
}

std::int32_t TForm1::ReadSpeedChoice() const {
    return menuBar_.CheckedNumber(forms::Command::ReadSpeed).value_or(run::kMaxReadSpeed);
}

void TForm1::SetTimerEnabled(bool enabled) {
    if (Handle() == nullptr) {
        timerEnabled_ = false;
        return;
    }
    if (enabled) {
        ::SetTimer(Handle(), kTimer1Id, static_cast<UINT>(forms::MainForm().timer.intervalMs),
                   nullptr);
    } else {
        ::KillTimer(Handle(), kTimer1Id);
    }
    timerEnabled_ = enabled;
}

void TForm1::SetDriveList(const std::vector<std::string>& items) {
    const HWND list = ControlWindow(run::Control::DriveList);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    WidenDropDown(list, items);
    ShowDriveIdentity();
}

void TForm1::ShowDriveIdentity() {
    const std::string entry = DriveListText();
    const platform::DriveIdentity identity = Context().system.IdentityOf(entry);
    driveTip_->SetText(startup::DriveIdentityText(identity));
    // The Read Speed items of the medium alone; a choice it does not offer goes back to Max.
    menuBar_.ShowNumbers(
        forms::Command::ReadSpeed,
        run::OfferedReadSpeeds(startup::MediumOfDrive(identity, Context().system.DevicePath(entry)),
                               identity.fastestKBs));
}

std::string TForm1::DriveListText() const {
    const HWND list = ControlWindow(run::Control::DriveList);
    const LRESULT selected = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        return {};
    }
    const LRESULT length = ::SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    ::SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
    return text;
}

void TForm1::ChartChanged() {
    Controls().ObjectOf<BitmapView>("Image1").PictureChanged();
}

}  // namespace ui::win32
