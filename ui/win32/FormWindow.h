// A top-level window built from a form's description.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>

#include "ui/forms/FormSpec.h"
#include "ui/win32/FormBuilder.h"
#include "ui/win32/WindowObject.h"

namespace ui::win32 {

// The window of a form: its frame, border icons, caption, client size, place in the centre of
// the screen and its controls, all as described, and the keys that move between the controls
// and press them. Clicks reach RunCommand only from enabled controls, so a click that was on
// its way while a control was disabled does nothing.
class FormWindow : public WindowObject {
  public:
    const forms::FormSpec& Form() const { return form_; }
    const BuiltForm& Controls() const { return *controls_; }
    HWND Control(std::string_view name) const { return controls_->Window(name); }

    // The keys a form handles before its focused control sees them: Tab and Shift+Tab move
    // along the tab order; Enter presses the focused button, elsewhere the default button;
    // Esc presses the cancel button; Alt and a button's accelerator letter press that button.
    // True when the key was used up.
    bool PreTranslate(const MSG& msg);

    // The form whose window this is, or nullptr.
    static FormWindow* Of(HWND hwnd);

    // Gives the focus to the first control in the tab order.
    void FocusFirst();

    // Shows the window modally: its owner takes no input until a button with a modal result,
    // or the close box, ends it. The window is hidden again, not destroyed.
    forms::ModalResult ShowModal();

  protected:
    explicit FormWindow(const forms::FormSpec& form) : form_(form) {}

    // Makes the window, hidden, with its controls and, if given, its menu bar.
    void Build(HWND owner, const ControlSources& sources, HMENU menu = nullptr);
    // Destroys the window now, while the derived form still exists to see its last messages.
    void Destroy();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // What a command asks for; called only when its control or menu item is enabled.
    virtual void RunCommand(forms::Command command) = 0;
    // A choice from the window's menu bar, by the item's identifier: the form checks that it
    // can be chosen.
    virtual void MenuCommand(UINT /*id*/) {}

  private:
    void ControlClicked(const BuiltControl& control);
    void EndModal(forms::ModalResult result);
    void MoveFocus(int step);
    // Tab passes a drop-down list by when it is no tab stop; F4, the key that opens such a
    // list, takes the keyboard to it and opens it. Says whether the form has one to open.
    bool OpenDropDownList() const;
    const BuiltControl* FocusedControl() const;
    const BuiltControl* ButtonWith(bool forms::ControlSpec::*role) const;
    const BuiltControl* ButtonForAccelerator(char key) const;

    const forms::FormSpec& form_;
    std::unique_ptr<BuiltForm> controls_;
    HWND lastFocus_ = nullptr;
    bool modal_ = false;
    std::optional<forms::ModalResult> modalResult_;
};

}  // namespace ui::win32
