// Any bytes as a data file: split into lines, looked up, read and replayed on the chart.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "../RunFakes.h"
#include "results/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fakes::Program p;
    p.dataList =
        results::ParseDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    results::DrawData(p.ctx);
    return 0;
}
