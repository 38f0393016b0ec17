// Status panels wide enough for their texts, whatever font the system resolved.
#pragma once

#include <array>
#include <optional>

#include "ui/forms/MainForm.h"

namespace ui::forms {

using PanelWidths = std::array<int, kStatusPanelCount>;

// Around a panel's text: its sunken frame and an indent of two pixels on either side.
inline constexpr int kPanelFrame = 6;
// Between one panel and the next; a panel's width includes the gap after it.
inline constexpr int kPanelGap = 2;

// The widths that let every panel show its text whole, the last one's being what remains of
// `barWidth`. `current` holds the panels' widths now (the last entry does not count: that
// panel reaches to the bar's end), `textWidths` what each text needs in the bar's font. When
// every text fits, the panels keep their widths, so that a layout that holds its texts keeps
// its place to the pixel. Otherwise the short panels widen by what the
// others can spare beyond their own texts, the one with most to spare giving first. Nothing
// when the bar is too narrow for all the texts together: the caller tries a smaller font.
std::optional<PanelWidths> FitPanels(const PanelWidths& current, const PanelWidths& textWidths,
                                     int barWidth);

}  // namespace ui::forms
