#include "ui/win32/Menus.h"

#include <stdexcept>

#include "ui/win32/AnsiText.h"

namespace ui::win32 {

namespace {

UINT EnabledFlag(bool enabled) {
    return enabled ? MF_ENABLED : MF_GRAYED;
}

bool PlaceEnabled(HMENU menu, UINT position) {
    const UINT state = ::GetMenuState(menu, position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

UINT_PTR IdOf(forms::Command command) {
    return static_cast<UINT_PTR>(command);
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
            paths_[spec.command] = {place};
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
        ::AppendMenuA(
            menu,
            MF_STRING | EnabledFlag(item.enabled) | (item.checked ? MF_CHECKED : MF_UNCHECKED),
            IdOf(item.command), ToAnsi(item.caption).c_str());
        std::vector<Place> path = above;
        path.push_back(place);
        paths_[item.command] = std::move(path);
        if (item.control) {
            places_[*item.control] = place;
        }
        if (item.mark) {
            marks_[*item.mark] = item.command;
        }
    }
}

bool MenuBar::IsEnabled(engine::Control control) const {
    const auto found = places_.find(control);
    return found != places_.end() && PlaceEnabled(found->second.menu, found->second.position);
}

void MenuBar::SetEnabled(engine::Control control, bool enabled, HWND window) {
    const Place& place = places_.at(control);
    ::EnableMenuItem(place.menu, place.position, MF_BYPOSITION | EnabledFlag(enabled));
    if (place.menu == bar_ && window != nullptr) {
        ::DrawMenuBar(window);
    }
}

bool MenuBar::IsChecked(engine::MenuMark mark) const {
    const UINT state = ::GetMenuState(bar_, static_cast<UINT>(IdOf(marks_.at(mark))), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void MenuBar::SetChecked(engine::MenuMark mark, bool checked) {
    ::CheckMenuItem(bar_, static_cast<UINT>(IdOf(marks_.at(mark))),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MenuBar::CanChoose(forms::Command command) const {
    const auto found = paths_.find(command);
    if (found == paths_.end()) {
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
