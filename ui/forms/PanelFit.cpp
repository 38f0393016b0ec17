#include "ui/forms/PanelFit.h"

#include <algorithm>
#include <numeric>

namespace ui::forms {

std::optional<PanelWidths> FitPanels(const PanelWidths& current, const PanelWidths& textWidths,
                                     int barWidth) {
    constexpr std::size_t kLast = kStatusPanelCount - 1;
    PanelWidths widths = current;
    widths[kLast] = barWidth - std::accumulate(current.begin(), current.end() - 1, 0);
    PanelWidths needs{};
    int missing = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        needs[i] = textWidths[i] + kPanelFrame + (i == kLast ? 0 : kPanelGap);
        if (needs[i] > widths[i]) {
            missing += needs[i] - widths[i];
            widths[i] = needs[i];
        }
    }
    while (missing > 0) {
        std::size_t giver = 0;
        for (std::size_t i = 1; i < widths.size(); ++i) {
            if (widths[i] - needs[i] > widths[giver] - needs[giver]) {
                giver = i;
            }
        }
        const int spare = widths[giver] - needs[giver];
        if (spare <= 0) {
            return std::nullopt;
        }
        const int given = std::min(spare, missing);
        widths[giver] -= given;
        missing -= given;
    }
    return widths;
}

}  // namespace ui::forms
