// Qt widgets from the windows' descriptions.
#pragma once

#include <QFont>
#include <QLabel>
#include <array>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "ui/forms/FormSpec.h"
#include "ui/forms/MainForm.h"
#include "ui/qt/StatusBar.h"

namespace ui::qt {

// A label that reports a click of the left mouse button.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

QString FromUtf8(std::string_view text);

// The program's sans serif (the application's font) at the height and in the style given.
QFont FontOf(const forms::FontSpec& spec);
// Sets the widget's font and, where the description gives one, its text colour.
void ApplyFont(QWidget* widget, const forms::FontSpec& spec);

// The frame and the title-bar buttons of a window or dialog.
Qt::WindowFlags WindowFlagsOf(const forms::FormSpec& form);

// What controls show that their description leaves to the running program.
struct ControlSources {
    const platform::Bitmap* chart = nullptr;  // for a picture of the chart
    std::span<const forms::StatusPanelSpec> statusPanels;
};

using ControlMap = std::map<std::string_view, QWidget*, std::less<>>;

// The status bar's panels as described.
std::array<TStatusBar::PanelLayout, TStatusBar::kPanels> StatusLayoutOf(
    std::span<const forms::StatusPanelSpec> panels);

// Makes the form's controls inside `client`, in the description's order, named, placed, with
// their fonts and captions, and chains the Tab key through them. Labels keep their place and
// grow to show their whole caption, as the layout was measured in a smaller font than this
// system may have.
ControlMap BuildFormControls(const forms::FormSpec& form, QWidget* client,
                             const ControlSources& sources);

// Gives the focus to the first control in the tab order.
void FocusFirst(const forms::FormSpec& form, const ControlMap& controls);

// A built control of the class the caller expects. A name the description lacks is the
// program's fault, so it throws rather than give nothing.
template <typename Widget>
Widget* Named(const ControlMap& controls, std::string_view name) {
    const auto found = controls.find(name);
    Widget* widget = found == controls.end() ? nullptr : qobject_cast<Widget*>(found->second);
    if (widget == nullptr) {
        throw std::logic_error("the window has no control " + std::string(name) +
                               " of the expected kind");
    }
    return widget;
}

}  // namespace ui::qt
