// Status panels widened for their texts: the classic places while the texts fit, room taken
// from the panels that can spare it, a smaller font asked for when none can.
#include <gtest/gtest.h>

#include <optional>

#include "ui/forms/PanelFit.h"

namespace {

using ui::forms::FitPanels;
using ui::forms::PanelWidths;

TEST(PanelFit, WidensShortPanelsFromTheSpareRoomOfTheOthers) {
    const PanelWidths classic{105, 98, 94, 145, 50};
    constexpr int kBar = 608;  // the last panel is what remains: 166
    const PanelWidths placed{105, 98, 94, 145, 166};
    struct Row {
        const char* what;
        PanelWidths texts;
        std::optional<PanelWidths> widths;
    };
    const Row rows[] = {
        {"texts that fit keep the classic places", {50, 80, 86, 137, 100}, placed},
        {"texts that fit exactly", {97, 90, 86, 137, 160}, placed},
        {"a long speed takes from the last panel, which has most to spare",
         {50, 80, 86, 160, 100},
         PanelWidths{105, 98, 94, 168, 143}},
        {"the one with most to spare gives, not the last",
         {50, 100, 86, 137, 150},
         PanelWidths{95, 108, 94, 145, 166}},
        {"the last panel's own text widens it",
         {40, 80, 86, 137, 200},
         PanelWidths{65, 98, 94, 145, 206}},
        {"two short panels", {97, 100, 100, 137, 120}, PanelWidths{105, 108, 108, 145, 142}},
        {"the room taken from two panels",
         {50, 80, 86, 190, 140},
         PanelWidths{58, 98, 94, 198, 160}},
        {"all texts together too wide: a smaller font is needed",
         {120, 120, 120, 120, 120},
         std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto widths = FitPanels(classic, row.texts, kBar);
        EXPECT_EQ(widths.has_value(), row.widths.has_value());
        if (widths && row.widths) {
            EXPECT_EQ(*widths, *row.widths);
            int total = 0;
            for (int w : *widths) {
                total += w;
            }
            EXPECT_EQ(total, kBar);
        }
    }
}

}  // namespace
