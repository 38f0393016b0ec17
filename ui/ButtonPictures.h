#pragma once

#include <QPixmap>
#include <QPushButton>

namespace ui {

// The pictures of the Start and Stop buttons, drawn on silver; silver shows as transparent.
QPixmap StartPicture();  // a green arrow pointing right, black outline, 13 x 13
QPixmap StopPicture();   // a red square, dark-red outline, grey shadow right and below, 12 x 13

// A push button that shows a picture and its caption side by side: the picture `margin` pixels
// from the left edge and the caption `spacing` pixels after it, or, with no margin, the two
// centred together. Disabled, the picture is greyed as the style greys icons.
class TPictureButton : public QPushButton {
    Q_OBJECT

  public:
    static constexpr int kCentred = -1;

    TPictureButton(const QString& caption, QPixmap picture, int margin, int spacing,
                   QWidget* parent);

    const QPixmap& Picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
    int margin_;
    int spacing_;
};

}  // namespace ui
