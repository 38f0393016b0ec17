#pragma once

#include <string>

namespace ui::forms {

// The about dialog's help text: six sections, every line ended by CR LF, in UTF-8.
std::string HelpText();

}  // namespace ui::forms
