#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "ui/forms/MainForm.h"

namespace ui::qt {

// A status bar of five sunken panels side by side; the last reaches to the right end. No size
// grip: the window does not resize.
class TStatusBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kPanels = forms::kStatusPanelCount;

    struct PanelLayout {
        int width;
        Qt::Alignment alignment;
    };

    TStatusBar(const std::array<PanelLayout, kPanels>& layout, QWidget* parent);

    // New widths and alignments for the panels; the texts stay.
    void SetLayout(const std::array<PanelLayout, kPanels>& layout);
    // Repaints the panel only when its text changes.
    void SetPanelText(int panel, const QString& text);
    const QString& PanelText(int panel) const { return texts_.at(static_cast<std::size_t>(panel)); }
    // Where the panel's sunken frame lies within the bar.
    QRect PanelRect(int panel) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<PanelLayout, kPanels> layout_;
    std::array<QString, kPanels> texts_;
};

}  // namespace ui::qt
