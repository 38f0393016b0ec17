#include "ui/forms/MainForm.h"

#include <array>
#include <stdexcept>

#include "run/RunState.h"

namespace ui::forms {

namespace {

using run::Control;
using run::MenuMark;

// Frames come before what lies inside them, so that it is drawn over them.
constexpr std::array kControls{
    ControlSpec{.name = "Bevel1", .kind = ControlKind::Bevel, .bounds = {6, 10, 595, 356}},
    ControlSpec{.name = "Image1",
                .kind = ControlKind::Picture,
                .bounds = {8, 12, 591, 352},
                .picture = PictureSource::Chart},
    // The groove under the menu bar.
    ControlSpec{.name = "Bevel2", .kind = ControlKind::Bevel, .bounds = {6, 1, 593, 2}},

    ControlSpec{
        .name = "Panel2", .kind = ControlKind::Panel, .bounds = {6, 370, 291, 35}, .tabOrder = 2},
    ControlSpec{.name = "Label2",
                .kind = ControlKind::Label,
                .parent = "Panel2",
                .bounds = {10, 10, 44, 13},
                .caption = "Progress:"},
    ControlSpec{.name = "Bevel3",
                .kind = ControlKind::Bevel,
                .parent = "Panel2",
                .bounds = {68, 8, 213, 19}},
    ControlSpec{.name = "Gauge1",
                .kind = ControlKind::Gauge,
                .parent = "Panel2",
                .bounds = {70, 10, 209, 15},
                .font = FontSpec{.color = 0x000000, .charset = Charset::Cyrillic},
                .gauge = {.kind = gkHorizontalBar, .border = bsNone, .showText = true}},

    ControlSpec{
        .name = "Panel3", .kind = ControlKind::Panel, .bounds = {302, 370, 151, 35}, .tabOrder = 3},
    ControlSpec{.name = "Label1",
                .kind = ControlKind::Label,
                .parent = "Panel3",
                .bounds = {12, 10, 74, 13},
                .caption = "CD ROM Drive:"},
    // Clicks may focus the list, the Tab key passes it by.
    ControlSpec{.name = "ComboBox1",
                .kind = ControlKind::DropDownList,
                .parent = "Panel3",
                .bounds = {100, 8, 41, 21},
                .tabOrder = 0,
                .tabStop = false,
                .itemHeight = 13,
                .control = Control::DriveList},

    // The frame behind the two buttons, which belong to the window itself.
    ControlSpec{
        .name = "Panel1", .kind = ControlKind::Panel, .bounds = {458, 370, 143, 35}, .tabOrder = 4},
    ControlSpec{.name = "Button1",
                .kind = ControlKind::PictureButton,
                .bounds = {468, 376, 73, 23},
                .caption = "&Start",
                .tabOrder = 0,
                .tabStop = true,
                .picture = PictureSource::StartArrow,
                .pictureMargin = 10,
                .pictureSpacing = 8,
                .command = Command::Start,
                .control = Control::StartButton},
    ControlSpec{.name = "Button2",
                .kind = ControlKind::PictureButton,
                .bounds = {552, 376, 39, 23},
                .tabOrder = 1,
                .tabStop = true,
                .picture = PictureSource::StopSquare,
                .pictureMargin = kCentredPicture,
                .command = Command::Stop,
                .control = Control::StopButton},

    ControlSpec{.name = "StatusBar1",
                .kind = ControlKind::StatusBar,
                .bounds = {0, 410, 608, 17},
                .tabOrder = 5},
};

constexpr std::array<StatusPanelSpec, kStatusPanelCount> kStatusPanels{{
    {105, Alignment::Centre},
    {98, Alignment::Left},
    {94, Alignment::Left},
    {145, Alignment::Left},
    {50, Alignment::Left},
}};

// Five-digit block counts and speeds, eight-digit sector totals; the last panel still reaches
// to the bar's end.
constexpr std::array<StatusPanelSpec, kStatusPanelCount> kWideStatusPanels{{
    {95, Alignment::Centre},
    {112, Alignment::Left},
    {112, Alignment::Left},
    {155, Alignment::Left},
    {50, Alignment::Left},
}};

constexpr std::array kFilesItems{
    MenuItemSpec{.name = "SaveGraphic2",
                 .caption = "Save &Graphic",
                 .command = Command::SaveGraphic,
                 .enabled = false,
                 .control = Control::SaveGraphic},
    MenuItemSpec{.name = "SaveData1",
                 .caption = "Save &Data",
                 .command = Command::SaveData,
                 .enabled = false,
                 .control = Control::SaveData},
    MenuItemSpec{.name = "LoadData1",
                 .caption = "&Load Data",
                 .command = Command::LoadData,
                 .control = Control::LoadData},
    MenuItemSpec{.name = "CompareWith1",
                 .caption = "&Compare With...",
                 .command = Command::CompareWith,
                 .control = Control::CompareWith},
};

// The speeds of run::kReadSpeeds, one checked at a time; those of the loaded medium shown.
constexpr MenuItemSpec ReadSpeedItem(std::string_view name, std::string_view caption, int speed) {
    return {.name = name,
            .caption = caption,
            .command = Command::ReadSpeed,
            .checkable = true,
            .checked = speed == 0,
            .tag = speed};
}

constexpr std::array kReadSpeedItems{
    ReadSpeedItem("SpeedMax", "Max", 0), ReadSpeedItem("Speed52", "52x", 52),
    ReadSpeedItem("Speed48", "48x", 48), ReadSpeedItem("Speed40", "40x", 40),
    ReadSpeedItem("Speed32", "32x", 32), ReadSpeedItem("Speed24", "24x", 24),
    ReadSpeedItem("Speed16", "16x", 16), ReadSpeedItem("Speed12", "12x", 12),
    ReadSpeedItem("Speed10", "10x", 10), ReadSpeedItem("Speed8", "8x", 8),
    ReadSpeedItem("Speed6", "6x", 6),    ReadSpeedItem("Speed4", "4x", 4),
    ReadSpeedItem("Speed2", "2x", 2),    ReadSpeedItem("Speed1", "1x", 1),
};

// The check marks form no radio group: the handlers alone move them.
constexpr std::array kOptionsItems{
    MenuItemSpec{.name = "AutoSave1",
                 .caption = "AutoSave",
                 .command = Command::AutoSave,
                 .checkable = true,
                 .mark = MenuMark::AutoSave},
    MenuItemSpec{.name = "N1", .separator = true},
    MenuItemSpec{.name = "N1000",
                 .caption = "1000",
                 .command = Command::N1000,
                 .checkable = true,
                 .mark = MenuMark::N1000},
    MenuItemSpec{.name = "N800",
                 .caption = "800-200",
                 .command = Command::N800,
                 .checkable = true,
                 .checked = true,
                 .mark = MenuMark::N800},
    MenuItemSpec{.name = "N600",
                 .caption = "600-400",
                 .command = Command::N600,
                 .checkable = true,
                 .mark = MenuMark::N600},
    MenuItemSpec{.name = "N2", .separator = true},
    MenuItemSpec{.name = "ReadSpeed1", .caption = "Read Speed", .submenu = kReadSpeedItems},
};

constexpr std::array kMenus{
    MenuSpec{
        .name = "Files", .caption = "&Files", .items = kFilesItems, .control = Control::FilesMenu},
    MenuSpec{.name = "Options1", .caption = "&Options", .items = kOptionsItems},
    MenuSpec{.name = "About1", .caption = "&About", .command = Command::About},
};

constexpr std::string_view kDataFilter = "Data Files (*.dat)|*.dat|All Files (*.*)|*.*";

constexpr std::array kFileDialogs{
    FileDialogSpec{.which = run::FileDialog::SaveGraphic,
                   .name = "SaveDialog1",
                   .kind = FileDialogKind::Save,
                   .title = "Save Graphic",
                   .filter = "Bit Map Files (*.bmp)|*.bmp|All Files (*.*)|*.*",
                   .defaultExtension = "bmp"},
    FileDialogSpec{.which = run::FileDialog::SaveData,
                   .name = "SaveDialog2",
                   .kind = FileDialogKind::Save,
                   .title = "Save Data",
                   .filter = kDataFilter,
                   .defaultExtension = "dat"},
    FileDialogSpec{.which = run::FileDialog::LoadData,
                   .name = "OpenDialog1",
                   .kind = FileDialogKind::Open,
                   .title = "Load Data",
                   .filter = kDataFilter,
                   .defaultExtension = "dat"},
    FileDialogSpec{.which = run::FileDialog::CompareWith,
                   .name = "OpenDialog2",
                   .kind = FileDialogKind::Open,
                   .title = "Compare With",
                   .filter = kDataFilter,
                   .defaultExtension = "dat"},
};

constexpr MainFormSpec kMainForm{
    .form = {.name = "Form1",
             .caption = run::kProgramTitleText,
             .clientWidth = 608,
             .clientHeight = 427,
             .font = {},
             .border = BorderStyle::Single,
             .borderIcons = {.systemMenu = true, .minimize = true, .maximize = false},
             .icon = PictureSource::ProgramIcon,
             .controls = kControls},
    .applicationTitle = run::kProgramTitleText,
    .statusPanels = kStatusPanels,
    .wideStatusPanels = kWideStatusPanels,
    .menus = kMenus,
    .fileDialogs = kFileDialogs,
    .timer = {.name = "Timer1", .intervalMs = 5, .enabled = false},
};

// The text up to the next '|', which it takes off the front of `rest`.
std::string_view NextField(std::string_view& rest) {
    const std::size_t bar = rest.find('|');
    const std::string_view field = rest.substr(0, bar);
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    return field;
}

}  // namespace

const MainFormSpec& MainForm() {
    return kMainForm;
}

const FileDialogSpec& FileDialogOf(run::FileDialog which) {
    for (const FileDialogSpec& dialog : kFileDialogs) {
        if (dialog.which == which) {
            return dialog;
        }
    }
    throw std::out_of_range("no such file dialog");
}

std::vector<FilterPair> FilterPairs(std::string_view filter) {
    std::vector<FilterPair> pairs;
    while (!filter.empty()) {
        const std::string_view description = NextField(filter);
        pairs.push_back({description, NextField(filter)});
    }
    return pairs;
}

}  // namespace ui::forms
