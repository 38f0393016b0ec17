#pragma once

#include <QWidget>

#include "ui/forms/GaugeCore.h"

namespace ui::qt {

// The progress gauge as a widget: the core holds the value and paints the picture, the widget
// shows it. A change that alters the picture repaints the widget at once.
class TGauge : public QWidget {
    Q_OBJECT

  public:
    // The size of a gauge made in code, before anything places it.
    static constexpr int kCreatedSide = 100;

    explicit TGauge(QWidget* parent = nullptr);

    // Places the gauge and sizes its picture at once: Qt tells a hidden widget its new size
    // only when it is shown, and the gauge may be drawn or asked about before that.
    void SetBounds(int left, int top, int width, int height);

    forms::GaugeCore& Core() { return core_; }
    const forms::GaugeCore& Core() const { return core_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    forms::GaugeCore core_;
};

}  // namespace ui::qt
