// Any bytes as a disc's volume descriptor: through run start and the first ticks of a run.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzProgram.h"

namespace {

// The medium ends at sector 3000, right after run start's reads and the first tick's untimed
// one: from then on every read fails at once, without sectors to copy, and each tick records
// one unreadable block, so twenty ticks reach the end of any volume of up to 23,000 sectors.
// A run still going then is ended by the Stop button.
constexpr int kMaxTicks = 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fakes::Program& p = fuzz::SharedProgram();
    platform::SimDiscParams disc = fakes::SmallDisc(0);
    disc.mediumSectors = 3000;  // whatever the descriptor says, the medium ends here
    disc.descriptorSector = std::vector<std::uint8_t>(data, data + size);
    p.drive = std::make_shared<platform::SimDrive>(std::move(disc));
    p.system = platform::SimSystem(p.drive);
    // Run start sets all a run shows, as for every disc a user measures.
    if (p.Start()) {
        p.RunToEnd(kMaxTicks);
        if (p.window.timer) {
            p.state.StopRequest = true;
            p.Tick();
        }
    }
    fuzz::ForgetInput(p);
    return 0;
}
