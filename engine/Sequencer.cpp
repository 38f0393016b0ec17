#include "engine/Sequencer.h"

namespace engine {

void SelectSequencer(RunWindow& window, MenuMark item) {
    window.SetChecked(MenuMark::N600, item == MenuMark::N600);
    window.SetChecked(MenuMark::N800, item == MenuMark::N800);
    window.SetChecked(MenuMark::N1000, item == MenuMark::N1000);
}

std::int32_t DataSectorsFromMarks(const RunWindow& window) {
    std::int32_t sectors = 1000;
    if (window.IsChecked(MenuMark::N600)) {
        sectors = 600;
    }
    if (window.IsChecked(MenuMark::N800)) {
        sectors = 800;
    }
    return sectors;
}

}  // namespace engine
