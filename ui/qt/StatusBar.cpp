#include "ui/qt/StatusBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace ui::qt {

namespace {

constexpr int kTopBorder = 2;   // between the bar's top edge and the panels
constexpr int kPanelGap = 2;    // between one panel and the next
constexpr int kTextIndent = 2;  // inside a panel's frame, before and after the text

}  // namespace

TStatusBar::TStatusBar(const std::array<PanelLayout, kPanels>& layout, QWidget* parent)
    : QWidget(parent), layout_(layout) {
    setAutoFillBackground(true);
}

void TStatusBar::SetLayout(const std::array<PanelLayout, kPanels>& layout) {
    const bool changed = std::any_of(layout.begin(), layout.end(), [&](const PanelLayout& p) {
        const PanelLayout& old = layout_[static_cast<std::size_t>(&p - layout.data())];
        return p.width != old.width || p.alignment != old.alignment;
    });
    if (changed) {
        layout_ = layout;
        update();
    }
}

void TStatusBar::SetPanelText(int panel, const QString& text) {
    auto& stored = texts_.at(static_cast<std::size_t>(panel));
    if (stored == text) {
        return;
    }
    stored = text;
    update(PanelRect(panel));
}

QRect TStatusBar::PanelRect(int panel) const {
    int left = 0;
    for (int i = 0; i < panel; ++i) {
        left += layout_[static_cast<std::size_t>(i)].width;
    }
    const int right = panel == kPanels - 1
                          ? width()
                          : left + layout_[static_cast<std::size_t>(panel)].width - kPanelGap;
    return QRect(QPoint(left, kTopBorder), QPoint(right - 1, height() - 1));
}

void TStatusBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    for (int i = 0; i < kPanels; ++i) {
        const QRect r = PanelRect(i);
        if (!event->rect().intersects(r)) {
            continue;
        }
        painter.setPen(shadow);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(highlight);
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        const QRect textArea = r.adjusted(1 + kTextIndent, 1, -1 - kTextIndent, -1);
        painter.setPen(palette().color(QPalette::WindowText));
        const int flags = static_cast<int>(layout_[static_cast<std::size_t>(i)].alignment.toInt()) |
                          static_cast<int>(Qt::AlignVCenter) | static_cast<int>(Qt::TextSingleLine);
        painter.drawText(textArea, flags, texts_[static_cast<std::size_t>(i)]);
    }
}

}  // namespace ui::qt
