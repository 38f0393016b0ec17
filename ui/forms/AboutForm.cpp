#include "ui/forms/AboutForm.h"

#include <array>
#include <string>

#include "discometer/Version.h"
#include "ui/forms/BuildPlatform.h"

namespace ui::forms {

namespace {

constexpr platform::Color kBlack = 0x000000;
constexpr platform::Color kPurple = 0x800080;
constexpr platform::Color kBlue = 0xFF0000;

constexpr FontSpec kNoticeFont{.color = kBlack};

}  // namespace

const FormSpec& AboutForm() {
    static const std::string version =
        std::string("Ver ") + discometer::kVersion + " for " + std::string(BuildPlatformName());
    static const std::array controls{
        ControlSpec{.name = "Panel1",
                    .kind = ControlKind::Panel,
                    .bounds = {7, 8, 344, 245},
                    .tabOrder = 1},
        ControlSpec{.name = "ProgramIcon",
                    .kind = ControlKind::Picture,
                    .parent = "Panel1",
                    .bounds = {40, 16, 33, 35},
                    .picture = PictureSource::ProgramIcon},
        ControlSpec{.name = "ProductName",
                    .kind = ControlKind::Label,
                    .parent = "Panel1",
                    .bounds = {152, 8, 140, 16},
                    .caption = "Discometer",
                    .font = FontSpec{.pixelHeight = 13, .color = kPurple}},
        ControlSpec{.name = "Version",
                    .kind = ControlKind::Label,
                    .parent = "Panel1",
                    .bounds = {152, 24, 176, 13},
                    .caption = version,
                    .font = kNoticeFont},
        ControlSpec{.name = "Copyright",
                    .kind = ControlKind::Label,
                    .parent = "Panel1",
                    .bounds = {152, 40, 175, 13},
                    .caption = "\u00A9 2026 The Discometer developers",
                    .font = kNoticeFont},
        ControlSpec{.name = "TM",
                    .kind = ControlKind::Label,
                    .parent = "Panel1",
                    .bounds = {152, 56, 82, 13},
                    .caption = "Trademark of Discometer developers",
                    .font = kNoticeFont},
        ControlSpec{.name = "Address",
                    .kind = ControlKind::Label,
                    .parent = "Panel1",
                    .bounds = {152, 72, 56, 13},
                    .caption = "Home Page",
                    .font = FontSpec{.color = kBlue, .underline = true},
                    .command = Command::OpenHomePage,
                    .cursor = Cursor::HandPoint},
        // Filled with the help text when the box is shown.
        ControlSpec{.name = "AboutMemo",
                    .kind = ControlKind::Memo,
                    .parent = "Panel1",
                    .bounds = {8, 94, 328, 143},
                    .font = kNoticeFont,
                    .tabOrder = 0,
                    .tabStop = true,
                    .readOnly = true,
                    .verticalScrollBar = true},
        // The only control in the dialog's own font, underline and all.
        ControlSpec{.name = "OKButton",
                    .kind = ControlKind::PushButton,
                    .bounds = {141, 260, 75, 21},
                    .caption = "OK",
                    .tabOrder = 0,
                    .tabStop = true,
                    .isDefault = true,
                    .isCancel = true,
                    .modalResult = ModalResult::Ok},
    };
    static const FormSpec form{
        .name = "AboutDialog",
        .caption = "About",
        .clientWidth = 358,
        .clientHeight = 288,
        .font = {.color = kBlack, .underline = true},
        .border = BorderStyle::Dialog,
        .borderIcons = {.systemMenu = true},
        .controls = controls,
    };
    return form;
}

}  // namespace ui::forms
