// Any bytes as a disc's volume descriptor: through run start and the first ticks of a run.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "../RunFakes.h"

namespace {

constexpr int kMaxTicks = 2000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::SimDiscParams disc = fakes::SmallDisc(0);
    disc.mediumSectors = 6000;  // whatever the descriptor says, the medium ends here
    disc.descriptorSector = std::vector<std::uint8_t>(data, data + size);
    fakes::Program p(disc);
    if (p.Start()) {
        p.RunToEnd(kMaxTicks);
    }
    return 0;
}
