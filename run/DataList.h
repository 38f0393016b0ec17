#pragma once

#include <string>
#include <vector>

namespace run {

// The results document of the run on display: an ordered list of 8-bit text lines without
// line breaks, held beside the run state for the program's whole life.
using DataList = std::vector<std::string>;

}  // namespace run
