#include "ui/win32/FormWindow.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/win32/AnsiText.h"
#include "ui/win32/ButtonPictures.h"
#include "ui/win32/MessageLoop.h"

namespace ui::win32 {

namespace {

using forms::ControlKind;

// The program's icon among the resources.
constexpr const char* kProgramIconResource = "MAINICON";

DWORD StyleOf(const forms::FormSpec& form) {
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
    style |= form.border == forms::BorderStyle::Dialog ? WS_POPUP : WS_OVERLAPPED;
    if (form.borderIcons.systemMenu) {
        style |= WS_SYSMENU;
    }
    if (form.borderIcons.minimize) {
        style |= WS_MINIMIZEBOX;
    }
    if (form.borderIcons.maximize) {
        style |= WS_MAXIMIZEBOX;
    }
    return style;
}

DWORD ExStyleOf(const forms::FormSpec& form) {
    return form.border == forms::BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0;
}

HICON IconOf(const forms::FormSpec& form) {
    if (form.icon != forms::PictureSource::ProgramIcon) {
        return nullptr;
    }
    return static_cast<HICON>(::LoadImageA(ProgramInstance(), kProgramIconResource, IMAGE_ICON, 0,
                                           0, LR_DEFAULTSIZE | LR_SHARED));
}

// The letter after the caption's single "&", or 0.
char AcceleratorOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] != '&') {
                return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
            }
            ++i;
        }
    }
    return 0;
}

bool IsButton(const BuiltControl& control) {
    return control.spec->kind == ControlKind::PictureButton ||
           control.spec->kind == ControlKind::PushButton;
}

bool Usable(HWND hwnd) {
    return ::IsWindowEnabled(hwnd) && ::IsWindowVisible(hwnd);
}

void Centre(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    ::SetWindowPos(hwnd, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

FormWindow* FormWindow::Of(HWND hwnd) {
    return dynamic_cast<FormWindow*>(WindowObject::Of(hwnd));
}

void FormWindow::Build(HWND owner, const ControlSources& sources, HMENU menu) {
    const DWORD style = StyleOf(form_);
    const DWORD exStyle = ExStyleOf(form_);
    RECT frame{0, 0, form_.clientWidth, form_.clientHeight};
    ::AdjustWindowRectEx(&frame, style, menu != nullptr, exStyle);
    const std::string className = "T" + std::string(form_.name);
    Create({.name = className.c_str(),
            .background = ::GetSysColorBrush(COLOR_BTNFACE),
            .icon = IconOf(form_)},
           exStyle, ToAnsi(form_.caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
           frame.right - frame.left, frame.bottom - frame.top, owner, menu);
    // A menu bar that wraps, or frame metrics of their own, would take from the client area.
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int wider = form_.clientWidth - client.right;
    const int higher = form_.clientHeight - client.bottom;
    if (wider != 0 || higher != 0) {
        ::SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left + wider,
                       frame.bottom - frame.top + higher,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (form_.centredOnScreen) {
        Centre(Handle());
    }
    controls_ = std::make_unique<BuiltForm>(form_, Handle(), sources);
}

void FormWindow::Destroy() {
    if (Handle() != nullptr) {
        ::DestroyWindow(Handle());
    }
}

void FormWindow::FocusFirst() {
    const auto sequence = forms::TabSequence(form_);
    if (!sequence.empty()) {
        ::SetFocus(Control(sequence.front()->name));
    }
}

const BuiltControl* FormWindow::FocusedControl() const {
    // The focus may lie in a part of a control, such as the box of a drop-down list.
    for (HWND at = ::GetFocus(); at != nullptr && at != Handle(); at = ::GetParent(at)) {
        if (const BuiltControl* control = controls_->Find(at)) {
            return control;
        }
    }
    return nullptr;
}

void FormWindow::MoveFocus(int step) {
    std::vector<HWND> stops;
    for (const forms::ControlSpec* spec : forms::TabSequence(form_)) {
        const HWND hwnd = Control(spec->name);
        if (Usable(hwnd)) {
            stops.push_back(hwnd);
        }
    }
    if (stops.empty()) {
        return;
    }
    const BuiltControl* focused = FocusedControl();
    const auto at = focused == nullptr ? stops.end() : std::ranges::find(stops, focused->hwnd);
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t next = step > 0 ? 0 : count - 1;
    if (at != stops.end()) {
        next = ((at - stops.begin()) + step + count) % count;
    }
    ::SetFocus(stops[static_cast<std::size_t>(next)]);
}

bool FormWindow::OpenDropDownList() const {
    for (const BuiltControl& control : controls_->Controls()) {
        if (control.spec->kind == ControlKind::DropDownList && Usable(control.hwnd)) {
            ::SetFocus(control.hwnd);
            ::SendMessageA(control.hwnd, CB_SHOWDROPDOWN, TRUE, 0);
            return true;
        }
    }
    return false;
}

const BuiltControl* FormWindow::ButtonWith(bool forms::ControlSpec::*role) const {
    for (const BuiltControl& control : controls_->Controls()) {
        if (IsButton(control) && control.spec->*role) {
            return &control;
        }
    }
    return nullptr;
}

const BuiltControl* FormWindow::ButtonForAccelerator(char key) const {
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    for (const BuiltControl& control : controls_->Controls()) {
        if (IsButton(control) && wanted != 0 && AcceleratorOf(control.spec->caption) == wanted) {
            return &control;
        }
    }
    return nullptr;
}

bool FormWindow::PreTranslate(const MSG& msg) {
    const BuiltControl* pressed = nullptr;
    if (msg.message == WM_KEYDOWN) {
        const bool control = ::GetKeyState(VK_CONTROL) < 0;
        const BuiltControl* focused = FocusedControl();
        switch (msg.wParam) {
            case VK_TAB:
                if (control) {
                    return false;
                }
                MoveFocus(::GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
                return true;
            case VK_RETURN:
                // A text box keeps its Enter.
                if (focused != nullptr && focused->spec->kind == ControlKind::Memo) {
                    return false;
                }
                pressed = focused != nullptr && IsButton(*focused)
                              ? focused
                              : ButtonWith(&forms::ControlSpec::isDefault);
                break;
            case VK_ESCAPE:
                pressed = ButtonWith(&forms::ControlSpec::isCancel);
                break;
            case VK_F4:
                // The list itself opens and closes on F4.
                if (focused != nullptr && focused->spec->kind == ControlKind::DropDownList) {
                    return false;
                }
                return OpenDropDownList();
            default:
                return false;
        }
    } else if (msg.message == WM_SYSCHAR) {
        pressed = ButtonForAccelerator(static_cast<char>(msg.wParam));
    } else {
        return false;
    }
    if (pressed == nullptr) {
        return false;
    }
    if (Usable(pressed->hwnd)) {
        ControlClicked(*pressed);
    }
    return true;
}

void FormWindow::ControlClicked(const BuiltControl& control) {
    if (control.spec->command != forms::Command::None) {
        RunCommand(control.spec->command);
    }
    if (control.spec->modalResult != forms::ModalResult::None) {
        EndModal(control.spec->modalResult);
    }
}

void FormWindow::EndModal(forms::ModalResult result) {
    if (modal_) {
        modalResult_ = result;
    }
}

forms::ModalResult FormWindow::ShowModal() {
    const HWND owner = ::GetWindow(Handle(), GW_OWNER);
    const bool ownerEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerEnabled) {
        ::EnableWindow(owner, FALSE);
    }
    modal_ = true;
    modalResult_.reset();
    ::ShowWindow(Handle(), SW_SHOW);
    FocusFirst();
    RunModalLoop([this] { return modalResult_.has_value() || Handle() == nullptr; });
    modal_ = false;
    // The owner first, so that it becomes the active window again.
    if (ownerEnabled) {
        ::EnableWindow(owner, TRUE);
    }
    if (Handle() != nullptr) {
        ::ShowWindow(Handle(), SW_HIDE);
    }
    return modalResult_.value_or(forms::ModalResult::None);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const auto from = reinterpret_cast<HWND>(lParam);
            if (from == nullptr) {
                if (HIWORD(wParam) == 0) {
                    MenuCommand(LOWORD(wParam));
                }
                return 0;
            }
            // BN_CLICKED from a button, STN_CLICKED from a label that reports clicks.
            const BuiltControl* control = controls_ ? controls_->Find(from) : nullptr;
            if (control != nullptr && HIWORD(wParam) == BN_CLICKED && Usable(from)) {
                ControlClicked(*control);
            }
            return 0;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const BuiltControl* control = controls_ ? controls_->Find(item.hwndItem) : nullptr;
            if (control != nullptr && control->look) {
                DrawPictureButton(item, *control->look);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            const BuiltControl* control =
                controls_ ? controls_->Find(reinterpret_cast<HWND>(lParam)) : nullptr;
            if (control != nullptr) {
                return reinterpret_cast<LRESULT>(
                    ControlColours(*control, reinterpret_cast<HDC>(wParam)));
            }
            break;
        }
        case WM_SETCURSOR: {
            const BuiltControl* control =
                controls_ ? controls_->Find(reinterpret_cast<HWND>(wParam)) : nullptr;
            if (control != nullptr && control->spec->cursor == forms::Cursor::HandPoint) {
                HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);  // not on the oldest systems
                ::SetCursor(hand != nullptr ? hand : ::LoadCursorA(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        }
        case WM_ACTIVATE:
            // The focus comes back to the control that had it when the window was left.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const BuiltControl* focused = FocusedControl();
                lastFocus_ = focused != nullptr ? focused->hwnd : nullptr;
            } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            if (modal_) {
                // As the cancel button would; without one, the dialog ends with no result.
                const BuiltControl* cancel = ButtonWith(&forms::ControlSpec::isCancel);
                EndModal(cancel != nullptr ? cancel->spec->modalResult : forms::ModalResult::None);
                return 0;
            }
            break;
        default:
            break;
    }
    return WindowObject::HandleMessage(message, wParam, lParam);
}

}  // namespace ui::win32
