#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "ui/forms/PanelFit.h"

#include "ui/forms/MainForm.h"

namespace ui::qt {

// A status bar of five sunken panels side by side; the last reaches to the right end. No size
// grip: the window does not resize. Whatever font the system resolved, every text shows whole:
// a panel too narrow for its text widens into the room the others can spare, and when the bar
// cannot hold all its texts, it takes the next smaller font size.
class TStatusBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kPanels = forms::kStatusPanelCount;

    struct PanelLayout {
        int width;
        Qt::Alignment alignment;
    };

    TStatusBar(const std::array<PanelLayout, kPanels>& layout, QWidget* parent);

    // New widths and alignments for the panels, and the bar's own font again; the texts stay.
    void SetLayout(const std::array<PanelLayout, kPanels>& layout);
    // Repaints the panel only when its text changes.
    void SetPanelText(int panel, const QString& text);
    const QString& PanelText(int panel) const { return texts_.at(static_cast<std::size_t>(panel)); }
    // One sunken panel across the whole bar with the note in it, over the panels, whose texts
    // go on changing beneath; an empty note shows the panels again.
    void SetNote(const QString& note);
    const QString& Note() const { return note_; }
    // Where the panel's sunken frame lies within the bar.
    QRect PanelRect(int panel) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Widths (and if need be a smaller font) for the texts; says whether the widths changed
    // or the font is a smaller one.
    bool Fit();
    int Measure(const QString& text);

    std::array<PanelLayout, kPanels> layout_;
    std::array<int, kPanels> widths_{};
    std::array<QString, kPanels> texts_;
    QString note_;
    std::array<int, kPanels> textWidths_{};  // negative: not measured in this font yet
    // The widest text each panel was given since the layout: the panel keeps room for it, so
    // that the panels do not move with every digit.
    std::array<QString, kPanels> longest_;
    std::array<int, kPanels> longestWidths_{};
    std::optional<QFont> fullSize_;  // the font before the texts made it smaller
    // The font the texts were last measured in, and whether all ten of its digits are as wide
    // (as in most fonts): then a text differing from the last in digits alone is as wide.
    std::optional<QFont> measuredIn_;
    bool evenDigits_ = false;
};

}  // namespace ui::qt
