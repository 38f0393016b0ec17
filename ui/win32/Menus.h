// The menu bar of a window, made from the description with the system's menus.
#pragma once

#include <windows.h>

#include <map>
#include <span>
#include <vector>

#include "engine/RunWindow.h"
#include "ui/forms/MainForm.h"

namespace ui::win32 {

// The bar's menus and commands, their items with accelerators ("&"), separators and check
// marks, as the description gives them at start. Each item's command identifier is the number
// of its Command. The window the bar is given to destroys it.
class MenuBar {
  public:
    explicit MenuBar(std::span<const forms::MenuSpec> menus);

    HMENU Handle() const { return bar_; }

    // The menus and items the run logic knows by name.
    bool Has(engine::Control control) const { return places_.contains(control); }
    bool IsEnabled(engine::Control control) const;
    // Greys the item or the menu (with all it holds) out, or makes it usable again, and
    // redraws the bar of `window`.
    void SetEnabled(engine::Control control, bool enabled, HWND window);
    bool IsChecked(engine::MenuMark mark) const;
    void SetChecked(engine::MenuMark mark, bool checked);

    // Whether the command can be chosen now: its item and every menu it lies in are enabled.
    // A command the bar does not hold cannot.
    bool CanChoose(forms::Command command) const;

  private:
    // An item as the system finds it: in which menu, at which position.
    struct Place {
        HMENU menu = nullptr;
        UINT position = 0;
    };

    void AddItems(HMENU menu, std::span<const forms::MenuItemSpec> items,
                  const std::vector<Place>& above);

    HMENU bar_ = nullptr;
    std::map<engine::Control, Place> places_;
    std::map<engine::MenuMark, forms::Command> marks_;
    // Each command's item, preceded by the menus it lies in from the bar down.
    std::map<forms::Command, std::vector<Place>> paths_;
};

}  // namespace ui::win32
