#include "engine/Sequencer.h"

namespace engine {

void SelectSequencer(run::RunWindow& window, run::MenuMark item) {
    window.SetChecked(run::MenuMark::N600, item == run::MenuMark::N600);
    window.SetChecked(run::MenuMark::N800, item == run::MenuMark::N800);
    window.SetChecked(run::MenuMark::N1000, item == run::MenuMark::N1000);
}

std::int32_t DataSectorsFromMarks(const run::RunWindow& window) {
    std::int32_t sectors = 1000;
    if (window.IsChecked(run::MenuMark::N600)) {
        sectors = 600;
    }
    if (window.IsChecked(run::MenuMark::N800)) {
        sectors = 800;
    }
    return sectors;
}

}  // namespace engine
