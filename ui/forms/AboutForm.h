// The about box as data: the product name, version and notices, the home-page link, the help
// text's memo and the OK button.
#pragma once

#include "ui/forms/FormSpec.h"

namespace ui::forms {

const FormSpec& AboutForm();

}  // namespace ui::forms
