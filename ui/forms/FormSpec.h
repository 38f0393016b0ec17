// The words a window is described in: its controls, their places, captions and fonts, its
// menus. Every front end builds its windows from these descriptions, so a layout is written
// once; nothing here knows a toolkit. Texts are UTF-8; places and sizes are pixels at 96 dots
// per inch; colours are 0x00BBGGRR.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Color.h"
#include "run/RunWindow.h"
#include "ui/forms/GaugeCore.h"

namespace ui::forms {

// The faces the program's sans serif is looked for under, first found first; the first is the
// one the layout was measured in, the others share its look or its widths.
inline constexpr std::array<std::string_view, 6> kFontFaces{"MS Sans Serif", "Microsoft Sans Serif",
                                                            "Arial",         "Helvetica",
                                                            "Nimbus Sans",   "Liberation Sans"};

enum class Charset : std::uint8_t { Default = 1, Cyrillic = 204 };

struct FontSpec {
    std::span<const std::string_view> faces = kFontFaces;
    int pixelHeight = 11;
    // Nothing: the system's window-text colour.
    std::optional<platform::Color> color = std::nullopt;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Charset charset = Charset::Default;
};

enum class ControlKind : std::uint8_t {
    Bevel,          // a sunken frame, or at two pixels high a groove
    Panel,          // face colour with a raised inner and a sunken outer bevel
    Label,          // a caption hanging from its top edge; grows to show the whole caption
    Picture,        // shows one of the pictures below
    DropDownList,   // only its items can be chosen
    PictureButton,  // a push button with a picture beside its caption
    PushButton,
    Gauge,
    StatusBar,  // sunken panels side by side, no size grip
    Memo,       // multi-line text
};

// What a picture control or a picture button shows.
enum class PictureSource : std::uint8_t { None, Chart, ProgramIcon, StartArrow, StopSquare };

// What a click on a control or a menu item does. The numbers stay as they are, so that a front
// end may use them as its command identifiers; new commands go at the end.
enum class Command : std::uint16_t {
    None = 0,
    Start = 1,
    Stop = 2,
    SaveGraphic = 3,
    SaveData = 4,
    LoadData = 5,
    AutoSave = 6,
    N1000 = 7,
    N800 = 8,
    N600 = 9,
    About = 10,
    OpenHomePage = 11,
    ReadSpeed = 12,  // the item's tag is the speed
    CompareWith = 13,
};

// What a push button ends its dialog with.
enum class ModalResult : std::uint8_t { None, Ok };

enum class Cursor : std::uint8_t { Default, HandPoint };

// Not among its parent's windowed controls: it takes no focus and has no place in the tab order.
inline constexpr int kNoTabOrder = -1;
// A picture button's picture and caption centred together rather than from the left edge.
inline constexpr int kCentredPicture = -1;

struct GaugeSettings {
    TGaugeKind kind = gkHorizontalBar;
    TGaugeBorderStyle border = bsSingle;
    bool showText = true;
};
// Gives a gauge the kind, border and text that its description asks for.
void UseGaugeSettings(GaugeCore& core, const GaugeSettings& settings);

// Pixels, relative to the parent's client area.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Bounds&, const Bounds&) = default;
};

// One control. Fields that do not apply to its kind keep their defaults.
struct ControlSpec {
    std::string_view name = {};
    ControlKind kind = ControlKind::Label;
    std::string_view parent = {};  // empty: the window itself
    Bounds bounds = {};
    std::string_view caption = {};                // '&' marks the accelerator
    std::optional<FontSpec> font = std::nullopt;  // nothing: the parent's font
    // Place among the parent's windowed controls, from 0; whether the Tab key stops here.
    int tabOrder = kNoTabOrder;
    bool tabStop = false;
    PictureSource picture = PictureSource::None;
    // Picture buttons: from the left edge to the picture (or kCentredPicture), then to the caption.
    int pictureMargin = 0;
    int pictureSpacing = 0;
    int itemHeight = 0;  // drop-down lists
    GaugeSettings gauge = {};
    bool readOnly = false;           // memos
    bool verticalScrollBar = false;  // memos
    bool isDefault = false;          // push buttons: Enter presses it
    bool isCancel = false;           // push buttons: Esc and the close box press it
    ModalResult modalResult = ModalResult::None;
    Command command = Command::None;  // a click
    Cursor cursor = Cursor::Default;
    // The name the run logic knows the control by, where it enables or focuses it.
    std::optional<run::Control> control = std::nullopt;
};

enum class BorderStyle : std::uint8_t {
    Single,  // a fixed-size window
    Dialog,  // a fixed-size dialog frame
};

struct BorderIcons {
    bool systemMenu = true;  // with the close box
    bool minimize = false;
    bool maximize = false;
};

// A window or dialog: its client area, frame and font, and its controls in creation order
// (a later control lies over an earlier one with the same parent).
struct FormSpec {
    std::string_view name = {};
    std::string_view caption = {};
    int clientWidth = 0;
    int clientHeight = 0;
    FontSpec font = {};
    BorderStyle border = BorderStyle::Single;
    BorderIcons borderIcons = {};
    bool centredOnScreen = true;
    int pixelsPerInch = 96;                    // the layout is not rescaled for other resolutions
    PictureSource icon = PictureSource::None;  // none: the program's default
    std::span<const ControlSpec> controls = {};
};

// The control of that name, or nullptr.
const ControlSpec* FindControl(const FormSpec& form, std::string_view name);

// The controls the Tab key visits, in order: the windowed controls of each parent by their tab
// order, those inside a panel at the panel's place, skipping the ones that are no tab stop.
// The first has the focus when the window opens.
std::vector<const ControlSpec*> TabSequence(const FormSpec& form);

}  // namespace ui::forms
