#include "ui/win32/Menus.h"

#include <algorithm>
#include <stdexcept>

#include "ui/win32/AnsiText.h"

namespace ui::win32 {

namespace {

UINT EnabledFlag(bool enabled) {
    return enabled ? MF_ENABLED : MF_GRAYED;
}

UINT CheckedFlag(bool checked) {
    return checked ? MF_CHECKED : MF_UNCHECKED;
}

bool PlaceEnabled(HMENU menu, UINT position) {
    const UINT state = ::GetMenuState(menu, position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

UINT IdOf(forms::Command command) {
    return static_cast<UINT>(command);
}

// The items whose command tells them apart by their number.
bool CarriesNumber(const forms::MenuItemSpec& item) {
    return item.command == forms::Command::ReadSpeed;
}

}  // namespace

MenuBar::MenuBar(std::span<const forms::MenuSpec> menus) : bar_(::CreateMenu()) {
    if (bar_ == nullptr) {
        throw std::runtime_error("cannot create the menu bar");
    }
    UINT position = 0;
    for (const forms::MenuSpec& spec : menus) {
        const Place place{bar_, position++};
        const std::string caption = ToAnsi(spec.caption);
        if (spec.items.empty()) {
            ::AppendMenuA(bar_, MF_STRING | EnabledFlag(spec.enabled), IdOf(spec.command),
                          caption.c_str());
            paths_[IdOf(spec.command)] = {place};
        } else {
            const HMENU popup = ::CreatePopupMenu();
            ::AppendMenuA(bar_, MF_POPUP | EnabledFlag(spec.enabled),
                          reinterpret_cast<UINT_PTR>(popup), caption.c_str());
            AddItems(popup, spec.items, {place});
        }
        if (spec.control) {
            places_[*spec.control] = place;
        }
    }
}

void MenuBar::AddItems(HMENU menu, std::span<const forms::MenuItemSpec> items,
                       const std::vector<Place>& above) {
    UINT position = 0;
    for (const forms::MenuItemSpec& item : items) {
        const Place place{menu, position++};
        if (item.separator) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::vector<Place> path = above;
        path.push_back(place);
        const std::string caption = ToAnsi(item.caption);
        if (!item.submenu.empty()) {
            const HMENU popup = ::CreatePopupMenu();
            ::AppendMenuA(menu, MF_POPUP | EnabledFlag(item.enabled),
                          reinterpret_cast<UINT_PTR>(popup), caption.c_str());
            AddItems(popup, item.submenu, path);
            continue;
        }
        UINT id = IdOf(item.command);
        if (CarriesNumber(item)) {
            id = kFirstNumberedItemId + static_cast<UINT>(numbered_.size());
            numbered_.push_back({id, item.command, item.tag, menu, caption});
        }
        ::AppendMenuA(menu, MF_STRING | EnabledFlag(item.enabled) | CheckedFlag(item.checked), id,
                      caption.c_str());
        paths_[id] = std::move(path);
        if (item.control) {
            places_[*item.control] = place;
        }
        if (item.mark) {
            marks_[*item.mark] = item.command;
        }
    }
}

bool MenuBar::IsEnabled(run::Control control) const {
    const auto found = places_.find(control);
    return found != places_.end() && PlaceEnabled(found->second.menu, found->second.position);
}

void MenuBar::SetEnabled(run::Control control, bool enabled, HWND window) {
    const Place& place = places_.at(control);
    ::EnableMenuItem(place.menu, place.position, MF_BYPOSITION | EnabledFlag(enabled));
    if (place.menu == bar_ && window != nullptr) {
        ::DrawMenuBar(window);
    }
}

bool MenuBar::IsCheckedId(UINT id) const {
    const UINT state = ::GetMenuState(bar_, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool MenuBar::IsChecked(run::MenuMark mark) const {
    return IsCheckedId(IdOf(marks_.at(mark)));
}

void MenuBar::SetChecked(run::MenuMark mark, bool checked) {
    ::CheckMenuItem(bar_, IdOf(marks_.at(mark)), MF_BYCOMMAND | CheckedFlag(checked));
}

std::optional<MenuBar::NumberedItem> MenuBar::NumberedItemOf(UINT id) const {
    for (const NumberedItem& item : numbered_) {
        if (item.id == id) {
            return item;
        }
    }
    return std::nullopt;
}

void MenuBar::CheckNumber(forms::Command command, int number) {
    for (const NumberedItem& item : numbered_) {
        if (item.command == command) {
            ::CheckMenuItem(bar_, item.id, MF_BYCOMMAND | CheckedFlag(item.number == number));
        }
    }
}

std::optional<int> MenuBar::CheckedNumber(forms::Command command) const {
    for (const NumberedItem& item : numbered_) {
        if (item.command == command && IsCheckedId(item.id)) {
            return item.number;
        }
    }
    return std::nullopt;
}

void MenuBar::ShowNumbers(forms::Command command, std::span<const int> numbers) {
    const auto listed = [numbers](int number) {
        return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
    };
    const std::optional<int> checked = CheckedNumber(command);
    for (NumberedItem& item : numbered_) {
        if (item.command == command && item.shown) {
            ::DeleteMenu(item.menu, item.id, MF_BYCOMMAND);
            item.shown = false;
        }
    }
    for (NumberedItem& item : numbered_) {
        if (item.command != command || !listed(item.number)) {
            continue;
        }
        const int position = ::GetMenuItemCount(item.menu);
        ::AppendMenuA(item.menu, MF_STRING | MF_ENABLED, item.id, item.caption.c_str());
        paths_[item.id].back().position = static_cast<UINT>(position < 0 ? 0 : position);
        item.shown = true;
    }
    if (!numbers.empty()) {
        CheckNumber(command, checked && listed(*checked) ? *checked : numbers.front());
    }
}

bool MenuBar::CanChoose(UINT id) const {
    const auto found = paths_.find(id);
    if (found == paths_.end()) {
        return false;
    }
    if (const auto numbered = NumberedItemOf(id); numbered && !numbered->shown) {
        return false;
    }
    for (const Place& place : found->second) {
        if (!PlaceEnabled(place.menu, place.position)) {
            return false;
        }
    }
    return true;
}

}  // namespace ui::win32
