// Any bytes as a data file: split into lines, looked up, read and replayed on the chart.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzProgram.h"
#include "results/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fakes::Program& p = fuzz::SharedProgram();
    p.dataList =
        results::ParseDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    // The replay redraws the whole chart and sets all it shows, as for every file a user loads.
    results::DrawData(p.ctx);
    fuzz::ForgetInput(p);
    return 0;
}
