// The controls of a form, made with the system's classes and ours from its description.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "ui/forms/FormSpec.h"
#include "ui/forms/MainForm.h"
#include "ui/win32/ButtonPictures.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/WindowObject.h"

namespace ui::win32 {

// What controls show that their description leaves to the running program.
struct ControlSources {
    const platform::Bitmap* chart = nullptr;  // for a picture of the chart
    std::span<const forms::StatusPanelSpec> statusPanels;
};

// One control as made: its description, its window, the font it shows its text in, and what
// the program's own kinds of control keep beside the window.
struct BuiltControl {
    const forms::ControlSpec* spec = nullptr;
    HWND hwnd = nullptr;
    forms::FontSpec font;
    std::unique_ptr<WindowObject> object;  // panels, pictures and gauges
    std::optional<ButtonLook> look;        // picture buttons, which the form draws
};

// The controls of a form, made inside its client window in the description's order, so that
// a later control lies over an earlier one; each placed, captioned, in its font. Labels keep
// their place and grow to show their whole caption. The fonts live as long as the set.
class BuiltForm {
  public:
    BuiltForm(const forms::FormSpec& form, HWND client, const ControlSources& sources);
    BuiltForm(const BuiltForm&) = delete;
    BuiltForm& operator=(const BuiltForm&) = delete;

    // The control of that name. A name the description lacks is the program's fault.
    const BuiltControl& Named(std::string_view name) const;
    HWND Window(std::string_view name) const { return Named(name).hwnd; }
    // The control whose window that is, or nullptr.
    const BuiltControl* Find(HWND hwnd) const;
    const std::vector<BuiltControl>& Controls() const { return controls_; }

    // The object behind one of the program's own kinds of control, of the class asked for.
    template <typename Object>
    Object& ObjectOf(std::string_view name) const {
        auto* object = dynamic_cast<Object*>(Named(name).object.get());
        if (object == nullptr) {
            throw std::logic_error("the form has no control " + std::string(name) +
                                   " of the expected kind");
        }
        return *object;
    }

    FontSet& Fonts() { return fonts_; }

  private:
    void Build(const forms::ControlSpec& spec, HWND parent, const ControlSources& sources);

    FontSet fonts_;
    std::vector<BuiltControl> controls_;
};

// The colours a control shows its text in, set on the device context of a WM_CTLCOLOR
// message, and the brush of its background: the face colour, a text box's window colour.
HBRUSH ControlColours(const BuiltControl& control, HDC dc);

}  // namespace ui::win32
