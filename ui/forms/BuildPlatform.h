#pragma once

#include <string_view>

namespace ui::forms {

// The systems this build of the program is made for, as the about box names them. Each
// system's build has its own definition.
std::string_view BuildPlatformName();

}  // namespace ui::forms
