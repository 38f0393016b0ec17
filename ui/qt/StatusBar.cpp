#include "ui/qt/StatusBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace ui::qt {

namespace {

constexpr int kTopBorder = 2;  // between the bar's top edge and the panels
constexpr int kPanelGap = forms::kPanelGap;
constexpr int kTextIndent = (forms::kPanelFrame - 2) / 2;  // inside the frame, either side
// Smaller than this a font is no longer read at a glance: texts that still do not fit are cut.
constexpr int kSmallestPixelSize = 8;

// Whether the texts differ in digits alone, digit for digit.
bool SameShape(const QString& a, const QString& b) {
    if (a.size() != b.size()) {
        return false;
    }
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !(digit(a[i]) && digit(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

TStatusBar::TStatusBar(const std::array<PanelLayout, kPanels>& layout, QWidget* parent)
    : QWidget(parent), layout_(layout) {
    setAutoFillBackground(true);
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        widths_[i] = layout_[i].width;
    }
    textWidths_.fill(-1);
}

void TStatusBar::SetLayout(const std::array<PanelLayout, kPanels>& layout) {
    layout_ = layout;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        widths_[i] = layout_[i].width;
    }
    if (fullSize_) {
        setFont(*fullSize_);
        fullSize_.reset();
    }
    longest_.fill(QString());
    textWidths_.fill(-1);
    Fit();
    update();
}

void TStatusBar::SetPanelText(int panel, const QString& text) {
    const auto index = static_cast<std::size_t>(panel);
    auto& stored = texts_.at(index);
    if (stored == text) {
        return;
    }
    if (textWidths_[index] >= 0 && evenDigits_ && measuredIn_ && *measuredIn_ == font() &&
        SameShape(stored, text)) {
        // As wide as before: the numbers change with every block, their digit count seldom.
        stored = text;
        update(PanelRect(panel));
        return;
    }
    stored = text;
    textWidths_[index] = Measure(text);
    if (textWidths_[index] <= longestWidths_[index]) {
        // The panel already keeps room for a text as wide: nothing moves.
        update(PanelRect(panel));
        return;
    }
    longest_[index] = text;
    longestWidths_[index] = textWidths_[index];
    const QFont before = font();
    if (Fit() || font() != before) {
        update();
    } else {
        update(PanelRect(panel));
    }
}

QRect TStatusBar::PanelRect(int panel) const {
    int left = 0;
    for (int i = 0; i < panel; ++i) {
        left += widths_[static_cast<std::size_t>(i)];
    }
    const int right = panel == kPanels - 1
                          ? width()
                          : left + widths_[static_cast<std::size_t>(panel)] - kPanelGap;
    return QRect(QPoint(left, kTopBorder), QPoint(right - 1, height() - 1));
}

int TStatusBar::Measure(const QString& text) {
    const QFontMetrics metrics = fontMetrics();
    if (!measuredIn_ || *measuredIn_ != font()) {
        measuredIn_ = font();
        const int zero = metrics.horizontalAdvance(QChar(u'0'));
        evenDigits_ = true;
        for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
            evenDigits_ = evenDigits_ && metrics.horizontalAdvance(QChar(digit)) == zero;
        }
    }
    return metrics.horizontalAdvance(text);
}

bool TStatusBar::Fit() {
    if (width() <= 0) {
        return false;  // not placed yet: the resize fits it
    }
    const std::array<int, kPanels> before = widths_;
    for (;;) {
        std::array<int, kPanels> texts{};
        std::array<int, kPanels> layoutWidths{};
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (textWidths_[i] < 0) {
                textWidths_[i] = Measure(texts_[i]);
                longestWidths_[i] = Measure(longest_[i]);
            }
            texts[i] = std::max(textWidths_[i], longestWidths_[i]);
            layoutWidths[i] = layout_[i].width;
        }
        if (const auto fitted = forms::FitPanels(layoutWidths, texts, width())) {
            widths_ = *fitted;
            return widths_ != before;
        }
        QFont smaller = font();
        if (smaller.pixelSize() <= kSmallestPixelSize) {
            return widths_ != before;
        }
        if (!fullSize_) {
            fullSize_ = font();
        }
        smaller.setPixelSize(smaller.pixelSize() - 1);
        setFont(smaller);
        textWidths_.fill(-1);
    }
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    textWidths_.fill(-1);
    Fit();
}

void TStatusBar::SetNote(const QString& note) {
    if (note != note_) {
        note_ = note;
        update();
    }
}

void TStatusBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const auto panel = [&](const QRect& r, Qt::Alignment alignment, const QString& text) {
        painter.setPen(shadow);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(highlight);
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        const QRect textArea = r.adjusted(1 + kTextIndent, 1, -1 - kTextIndent, -1);
        painter.setPen(palette().color(QPalette::WindowText));
        const int flags = static_cast<int>(alignment.toInt()) | static_cast<int>(Qt::AlignVCenter) |
                          static_cast<int>(Qt::TextSingleLine);
        painter.drawText(textArea, flags, text);
    };
    if (!note_.isEmpty()) {
        panel(PanelRect(0).united(PanelRect(kPanels - 1)), Qt::AlignLeft, note_);
        return;
    }
    for (int i = 0; i < kPanels; ++i) {
        const QRect r = PanelRect(i);
        if (event->rect().intersects(r)) {
            panel(r, layout_[static_cast<std::size_t>(i)].alignment,
                  texts_[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace ui::qt
