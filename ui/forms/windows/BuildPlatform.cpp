#include "ui/forms/BuildPlatform.h"

namespace ui::forms {

std::string_view BuildPlatformName() {
    return "Windows 95/98/ME, NT";
}

}  // namespace ui::forms
