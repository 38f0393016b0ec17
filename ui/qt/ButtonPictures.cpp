#include "ui/qt/ButtonPictures.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "ui/forms/Pictures.h"
#include "ui/qt/BitmapImage.h"

namespace ui::qt {

QPixmap StartPicture() {
    return ToQPixmap(forms::StartPicture());
}

QPixmap StopPicture() {
    return ToQPixmap(forms::StopPicture());
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

}  // namespace ui::qt
