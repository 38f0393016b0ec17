#include "ui/ButtonPictures.h"

#include <QImage>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <array>
#include <string_view>

namespace ui {

namespace {

constexpr QRgb kSilver = 0xFFC0C0C0;

// One colour per letter of a picture's rows; '.' is the silver background.
constexpr QRgb ColourOf(char key) {
    switch (key) {
        case 'k':
            return 0xFF000000;  // black outline
        case 'g':
            return qRgb(18, 226, 107);  // arrow green
        case 'r':
            return 0xFFFF0000;  // red
        case 'd':
            return 0xFF800000;  // dark red
        case 's':
            return 0xFF808080;  // grey shadow
        default:
            return kSilver;
    }
}

constexpr std::array<std::string_view, 13> kStartRows{
    "......k......",  //
    "......kk.....",  //
    "......kgk....",  //
    "......kggk...",  //
    "kkkkkkggggk..",  //
    "kggggggggggk.",  //
    "kgggggggggggk",  //
    "kggggggggggk.",  //
    "kkkkkkggggk..",  //
    "......kggk...",  //
    "......kgk....",  //
    "......kk.....",  //
    "......k......",  //
};

constexpr std::array<std::string_view, 13> kStopRows{
    "ddddddddddd.",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "drrrrrrrrrds",  //
    "ddddddddddds",  //
    ".sssssssssss",  //
};

template <std::size_t N>
QPixmap PictureFromRows(const std::array<std::string_view, N>& rows) {
    const int width = static_cast<int>(rows[0].size());
    QImage image(width, static_cast<int>(N), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb colour =
                ColourOf(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
            // The button face shows through wherever the picture is silver.
            image.setPixel(x, y, colour == kSilver ? qRgba(0, 0, 0, 0) : colour);
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

QPixmap StartPicture() {
    return PictureFromRows(kStartRows);
}

QPixmap StopPicture() {
    return PictureFromRows(kStopRows);
}

TPictureButton::TPictureButton(const QString& caption, QPixmap picture, int margin, int spacing,
                               QWidget* parent)
    : QPushButton(caption, parent),
      picture_(std::move(picture)),
      margin_(margin),
      spacing_(spacing) {}

void TPictureButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int textWidth =
        text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(QString(text()).remove('&'));
    const int gap = text().isEmpty() ? 0 : spacing_;
    int left = margin_;
    if (margin_ == kCentred) {
        left = (width() - picture_.width() - gap - textWidth) / 2;
    }
    int top = (height() - picture_.height()) / 2;
    int shiftY = 0;
    if (isDown() || isChecked()) {
        left += style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this);
        shiftY = style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this);
        top += shiftY;
    }

    const QPixmap shown =
        isEnabled() ? picture_ : style()->generatedIconPixmap(QIcon::Disabled, picture_, &option);
    painter.drawPixmap(left, top, shown);
    if (!text().isEmpty()) {
        const int textLeft = left + picture_.width() + gap;
        const QRect textRect(textLeft, shiftY, width() - textLeft, height());
        style()->drawItemText(&painter, textRect,
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), text(), QPalette::ButtonText);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        focus.backgroundColor = palette().button().color();
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace ui
