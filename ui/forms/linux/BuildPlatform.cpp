#include "ui/forms/BuildPlatform.h"

namespace ui::forms {

std::string_view BuildPlatformName() {
    return "Linux";
}

}  // namespace ui::forms
