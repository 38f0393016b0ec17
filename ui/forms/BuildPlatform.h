#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ui::forms {

// The systems this build of the program is made for, as the about box names them. Each
// system's build has its own definition.
std::string_view BuildPlatformName();

// The passages of the help text that speak of the system the program runs on.
enum class SystemPassage : std::uint8_t {
    Purpose,     // the systems whose drives the program tests
    Drives,      // a note on the drives it can read and how
    SetUp,       // a note on what it changes in the system and what it needs
    BadSectors,  // a note on what the system does with a bad sector
};

// The passage's whole lines, without their line ends, in this build's system's words.
std::span<const std::string_view> SystemPassageLines(SystemPassage passage);

}  // namespace ui::forms
