#include "ui/win32/FormBuilder.h"

#include <algorithm>

#include "ui/win32/AnsiText.h"
#include "ui/win32/Bevels.h"
#include "ui/win32/BitmapImage.h"
#include "ui/win32/Gauges.h"
#include "ui/win32/StatusBar.h"

namespace ui::win32 {

namespace {

using forms::ControlKind;
using forms::ControlSpec;

// Rows the drive list drops down before it scrolls.
constexpr int kDroppedRows = 8;

HWND MakeSystemControl(const char* className, DWORD exStyle, DWORD style, const ControlSpec& spec,
                       int height, HWND parent) {
    const forms::Bounds& b = spec.bounds;
    const HWND hwnd = ::CreateWindowExA(
        exStyle, className, ToAnsi(spec.caption).c_str(),
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (spec.tabStop ? WS_TABSTOP : 0) | style, b.left,
        b.top, b.width, height, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(spec.command)), ProgramInstance(), nullptr);
    if (hwnd == nullptr) {
        throw std::runtime_error("cannot create the control " + std::string(spec.name));
    }
    return hwnd;
}

// The size the caption takes in the window's font, its accelerator's "&" left out.
SIZE CaptionSize(HWND hwnd, HFONT font) {
    const std::string caption = WindowText(hwnd);
    const HDC dc = ::GetDC(hwnd);
    const HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void GrowToCaption(HWND hwnd, HFONT font, const forms::Bounds& b) {
    const SIZE caption = CaptionSize(hwnd, font);
    ::SetWindowPos(hwnd, nullptr, 0, 0, std::max<int>(b.width, caption.cx),
                   std::max<int>(b.height, caption.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The list's rows at the described height; the closed box at the described height whatever
// the system adds around its selection field. How much that is differs between systems (and
// what the field's height reads back as), so the box is measured again after each change.
void SizeDropDownList(HWND list, const ControlSpec& spec) {
    if (spec.itemHeight > 0) {
        ::SendMessageA(list, CB_SETITEMHEIGHT, 0, spec.itemHeight);
    }
    auto field = static_cast<int>(::SendMessageA(list, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    for (int tries = 0; tries < 4; ++tries) {
        RECT r{};
        ::GetWindowRect(list, &r);
        const int missing = spec.bounds.height - (r.bottom - r.top);
        if (missing == 0 || field + missing <= 0) {
            return;
        }
        field += missing;
        ::SendMessageA(list, CB_SETITEMHEIGHT, WPARAM(-1), field);
    }
}

}  // namespace

BuiltForm::BuiltForm(const forms::FormSpec& form, HWND client, const ControlSources& sources) {
    controls_.reserve(form.controls.size());
    for (const ControlSpec& spec : form.controls) {
        Build(spec, spec.parent.empty() ? client : Window(spec.parent), sources);
    }
    for (BuiltControl& built : controls_) {
        // The parent's font where the control has none of its own; a parent comes first.
        built.font = built.spec->font             ? *built.spec->font
                     : built.spec->parent.empty() ? form.font
                                                  : Named(built.spec->parent).font;
        const HFONT font = fonts_.Get(built.font);
        ::SendMessageA(built.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (built.spec->kind == ControlKind::Label) {
            GrowToCaption(built.hwnd, font, built.spec->bounds);
        }
        if (built.spec->kind == ControlKind::DropDownList) {
            SizeDropDownList(built.hwnd, *built.spec);
        }
    }
}

void BuiltForm::Build(const ControlSpec& spec, HWND parent, const ControlSources& sources) {
    const forms::Bounds& b = spec.bounds;
    BuiltControl built;
    built.spec = &spec;
    switch (spec.kind) {
        case ControlKind::Bevel:
            built.hwnd = MakeSystemControl("STATIC", 0, kBevelStyle, spec, b.height, parent);
            break;
        case ControlKind::Panel:
            built.object = std::make_unique<TPanel>(parent, b.left, b.top, b.width, b.height);
            break;
        case ControlKind::Label:
            built.hwnd = MakeSystemControl(
                "STATIC", 0, SS_LEFT | (spec.command != forms::Command::None ? SS_NOTIFY : 0), spec,
                b.height, parent);
            break;
        case ControlKind::Picture:
            if (spec.picture != forms::PictureSource::Chart) {
                built.object = std::make_unique<BitmapView>(
                    parent, b.left, b.top, b.width, b.height, forms::PictureOf(spec.picture));
            } else if (sources.chart != nullptr) {
                built.object = std::make_unique<BitmapView>(parent, b.left, b.top, b.width,
                                                            b.height, *sources.chart);
            } else {
                throw std::logic_error("a picture of the chart needs the chart");
            }
            break;
        case ControlKind::DropDownList:
            built.hwnd = MakeSystemControl(
                "COMBOBOX", 0, CBS_DROPDOWNLIST | WS_VSCROLL, spec,
                b.height + kDroppedRows * std::max(spec.itemHeight, b.height) + 2, parent);
            break;
        case ControlKind::PictureButton:
            built.hwnd = MakeSystemControl("BUTTON", 0, BS_OWNERDRAW, spec, b.height, parent);
            built.look =
                ButtonLook{forms::PictureOf(spec.picture), spec.pictureMargin, spec.pictureSpacing};
            break;
        case ControlKind::PushButton:
            built.hwnd =
                MakeSystemControl("BUTTON", 0, spec.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                                  spec, b.height, parent);
            break;
        case ControlKind::Gauge: {
            auto gauge = std::make_unique<TGauge>(parent, b.left, b.top, b.width, b.height);
            forms::UseGaugeSettings(gauge->Core(), spec.gauge);
            built.object = std::move(gauge);
            break;
        }
        case ControlKind::StatusBar:
            built.hwnd =
                CreateStatusBar(parent, b.left, b.top, b.width, b.height, sources.statusPanels);
            break;
        case ControlKind::Memo:
            built.hwnd = MakeSystemControl("EDIT", WS_EX_CLIENTEDGE,
                                           ES_MULTILINE | ES_AUTOVSCROLL |
                                               (spec.readOnly ? ES_READONLY : 0) |
                                               (spec.verticalScrollBar ? WS_VSCROLL : 0),
                                           spec, b.height, parent);
            break;
    }
    if (built.object) {
        built.hwnd = built.object->Handle();
    }
    // Over everything made before it.
    ::SetWindowPos(built.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    controls_.push_back(std::move(built));
}

const BuiltControl& BuiltForm::Named(std::string_view name) const {
    const auto found = std::ranges::find_if(
        controls_, [&](const BuiltControl& c) { return c.spec->name == name; });
    if (found == controls_.end()) {
        throw std::logic_error("the form has no control " + std::string(name));
    }
    return *found;
}

const BuiltControl* BuiltForm::Find(HWND hwnd) const {
    const auto found =
        std::ranges::find_if(controls_, [&](const BuiltControl& c) { return c.hwnd == hwnd; });
    return found == controls_.end() ? nullptr : &*found;
}

HBRUSH ControlColours(const BuiltControl& control, HDC dc) {
    const int background = control.spec->kind == ControlKind::Memo ? COLOR_WINDOW : COLOR_BTNFACE;
    ::SetTextColor(
        dc, control.font.color ? ToColorRef(*control.font.color) : ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(background));
    return ::GetSysColorBrush(background);
}

}  // namespace ui::win32
