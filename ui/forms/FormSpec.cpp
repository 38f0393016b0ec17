#include "ui/forms/FormSpec.h"

#include <algorithm>

namespace ui::forms {

namespace {

void AppendTabStops(const FormSpec& form, std::string_view parent,
                    std::vector<const ControlSpec*>& sequence) {
    std::vector<const ControlSpec*> windowed;
    for (const ControlSpec& control : form.controls) {
        if (control.parent == parent && control.tabOrder != kNoTabOrder) {
            windowed.push_back(&control);
        }
    }
    std::ranges::stable_sort(windowed, {}, &ControlSpec::tabOrder);
    for (const ControlSpec* control : windowed) {
        if (control->tabStop) {
            sequence.push_back(control);
        }
        // A control with no name has no children; the window itself is the empty name.
        if (!control->name.empty()) {
            AppendTabStops(form, control->name, sequence);
        }
    }
}

}  // namespace

void UseGaugeSettings(GaugeCore& core, const GaugeSettings& settings) {
    core.SetKind(settings.kind);
    core.SetBorderStyle(settings.border);
    core.SetShowText(settings.showText);
}

const ControlSpec* FindControl(const FormSpec& form, std::string_view name) {
    const auto found = std::ranges::find(form.controls, name, &ControlSpec::name);
    return found == form.controls.end() ? nullptr : &*found;
}

std::vector<const ControlSpec*> TabSequence(const FormSpec& form) {
    std::vector<const ControlSpec*> sequence;
    AppendTabStops(form, {}, sequence);
    return sequence;
}

}  // namespace ui::forms
