// The system's status bar (msctls_statusbar32) with the panels of the description.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "ui/forms/MainForm.h"

namespace ui::win32 {

// A status bar at the given place, without a size grip, its panels side by side with the
// widths given, the last reaching to the right end.
HWND CreateStatusBar(HWND parent, int left, int top, int width, int height,
                     std::span<const forms::StatusPanelSpec> panels);

// Gives the bar the panels' widths, the last reaching to the right end; the texts stay.
void SetStatusPanels(HWND bar, std::span<const forms::StatusPanelSpec> panels);

// One panel across the whole bar with the note in it, in place of the panels; the panels come
// back with SetStatusPanels, their texts with SetStatusText.
void ShowStatusNote(HWND bar, std::string_view note);

// Shows the text in the panel, aligned as the panel's description says.
void SetStatusText(HWND bar, std::span<const forms::StatusPanelSpec> panels, int panel,
                   std::string_view text);
// The text the panel shows.
std::string StatusText(HWND bar, int panel);

}  // namespace ui::win32
