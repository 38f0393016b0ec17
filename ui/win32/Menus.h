// The menu bar of a window, made from the description with the system's menus.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "run/RunWindow.h"
#include "ui/forms/MainForm.h"

namespace ui::win32 {

// The bar's menus and commands, their items with accelerators ("&"), separators, check marks
// and submenus, as the description gives them at start. An item's command identifier is the
// number of its Command; items that carry a number (the read speeds) share their Command and
// each has an identifier of its own from kFirstNumberedItemId on. The window the bar is given
// to destroys it.
class MenuBar {
  public:
    // Above every Command's number.
    static constexpr UINT kFirstNumberedItemId = 0x100;

    // An item that carries a number, as the system knows it.
    struct NumberedItem {
        UINT id = 0;
        forms::Command command = forms::Command::None;
        int number = 0;
        HMENU menu = nullptr;  // the menu it is shown in
        std::string caption;
        bool shown = true;
    };

    explicit MenuBar(std::span<const forms::MenuSpec> menus);

    HMENU Handle() const { return bar_; }

    // The menus and items the run logic knows by name.
    bool Has(run::Control control) const { return places_.contains(control); }
    bool IsEnabled(run::Control control) const;
    // Greys the item or the menu (with all it holds) out, or makes it usable again, and
    // redraws the bar of `window`.
    void SetEnabled(run::Control control, bool enabled, HWND window);
    bool IsChecked(run::MenuMark mark) const;
    void SetChecked(run::MenuMark mark, bool checked);

    // The item of a numbered identifier, or nothing for any other.
    std::optional<NumberedItem> NumberedItemOf(UINT id) const;
    // The items that carry a number, in the description's order.
    const std::vector<NumberedItem>& NumberedItems() const { return numbered_; }
    // Checks the item of the command that carries the number, and unchecks the command's others.
    void CheckNumber(forms::Command command, int number);
    // The number of the command's checked item, or nothing when none is checked.
    std::optional<int> CheckedNumber(forms::Command command) const;
    // Shows those of the command's items whose number is listed, in the description's order,
    // and hides the others, which cannot be chosen then; a checked item that goes hands its
    // check to the first listed.
    void ShowNumbers(forms::Command command, std::span<const int> numbers);

    // Whether the item of this identifier can be chosen now: it and every menu it lies in are
    // enabled. An identifier the bar does not hold cannot.
    bool CanChoose(UINT id) const;
    bool CanChoose(forms::Command command) const { return CanChoose(static_cast<UINT>(command)); }

  private:
    // An item as the system finds it: in which menu, at which position.
    struct Place {
        HMENU menu = nullptr;
        UINT position = 0;
    };

    void AddItems(HMENU menu, std::span<const forms::MenuItemSpec> items,
                  const std::vector<Place>& above);
    bool IsCheckedId(UINT id) const;

    HMENU bar_ = nullptr;
    std::map<run::Control, Place> places_;
    std::map<run::MenuMark, forms::Command> marks_;
    // Each identifier's item, preceded by the menus it lies in from the bar down.
    std::map<UINT, std::vector<Place>> paths_;
    std::vector<NumberedItem> numbered_;
};

}  // namespace ui::win32
