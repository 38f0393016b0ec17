#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Color.h"

namespace ui::forms {

enum TGaugeKind : std::uint8_t {
    gkText = 0,
    gkHorizontalBar = 1,
    gkVerticalBar = 2,
    gkPie = 3,
    gkNeedle = 4,
};

enum TGaugeBorderStyle : std::uint8_t {
    bsNone = 0,
    bsSingle = 1,
};

// The system's window-frame colour, which a fresh off-screen bitmap takes.
inline constexpr platform::Color kWindowFrameColor = 0x000000;
// The face colour of controls, behind the pie and the needle dial.
inline constexpr platform::Color kButtonFaceColor = 0xC0C0C0;

// An off-screen bitmap that can take the size of another one.
class TBltBitmap : public platform::Bitmap {
  public:
    using platform::Bitmap::Bitmap;
    // Takes the other bitmap's width and height and fills itself with the window-frame colour.
    void MakeLike(const platform::Bitmap& other);
};

// The error of an operation that is not allowed in the object's present state.
class EInvalidOperation : public std::exception {
  public:
    explicit EInvalidOperation(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// The state, rules and painting of the progress gauge, without a window: the widget that
// shows it reads the painted picture and repaints when asked.
class GaugeCore {
  public:
    GaugeCore() = default;

    std::int32_t MinValue() const { return minValue_; }
    std::int32_t MaxValue() const { return maxValue_; }
    std::int32_t Progress() const { return progress_; }
    TGaugeKind Kind() const { return kind_; }
    bool ShowText() const { return showText_; }
    TGaugeBorderStyle BorderStyle() const { return borderStyle_; }
    platform::Color ForeColor() const { return foreColor_; }
    platform::Color BackColor() const { return backColor_; }
    platform::Color Color() const { return color_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

    // Throws EInvalidOperation when v lies above MaxValue, unless a layout is loading.
    void SetMinValue(std::int32_t v);
    // Throws EInvalidOperation when v lies below MinValue, unless a layout is loading.
    void SetMaxValue(std::int32_t v);
    // Clamped into MinValue .. MaxValue; redraws only when the percentage changes.
    void SetProgress(std::int32_t v);
    void SetKind(TGaugeKind v);
    void SetShowText(bool v);
    void SetBorderStyle(TGaugeBorderStyle v);
    void SetForeColor(platform::Color v);
    void SetBackColor(platform::Color v);
    void SetColor(platform::Color v);
    // Sizes are kept within 0 .. 32767.
    void SetSize(std::int32_t width, std::int32_t height);

    // While a window layout loads, the range may pass through MinValue > MaxValue.
    bool Loading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

    // The whole-number percentage of Progress in MinValue .. MaxValue; 0 for an empty range.
    std::int32_t PercentDone() const;

    // Every redraw that a change asks for counts here and calls the repaint hook at once.
    std::uint64_t RedrawCount() const { return redrawCount_; }
    void SetRepaintHandler(std::function<void()> handler) { repaint_ = std::move(handler); }

    // The gauge's picture, Width() x Height().
    platform::Bitmap Paint() const;

  private:
    void Redraw();
    // Stores a changed value and redraws; an equal value does nothing.
    template <typename T>
    void StoreAndRedraw(T& field, T value) {
        if (value != field) {
            field = value;
            Redraw();
        }
    }
    // Behind the pie and the needle: the control's colour, then the dial's pen and brush.
    void DialFace(platform::Canvas& c, const platform::Rect& r) const;
    void PaintStyle(platform::Bitmap& overlay, std::int32_t left, std::int32_t top,
                    std::int32_t right, std::int32_t bottom) const;

    std::int32_t minValue_ = 0;
    std::int32_t maxValue_ = 100;
    std::int32_t progress_ = 0;
    TGaugeKind kind_ = gkHorizontalBar;
    bool showText_ = true;
    TGaugeBorderStyle borderStyle_ = bsSingle;
    platform::Color foreColor_ = 0x000000;
    platform::Color backColor_ = 0xFFFFFF;
    platform::Color color_ = kButtonFaceColor;
    std::int32_t width_ = 100;
    std::int32_t height_ = 100;
    bool loading_ = false;
    std::uint64_t redrawCount_ = 0;
    std::function<void()> repaint_;
};

}  // namespace ui::forms
