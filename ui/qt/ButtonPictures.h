#pragma once

#include <QPixmap>
#include <QPushButton>

#include "ui/forms/FormSpec.h"

namespace ui::qt {

// The pictures of the Start and Stop buttons as Qt shows them, silver see-through.
QPixmap StartPicture();
QPixmap StopPicture();

// A push button that shows a picture and its caption side by side: the picture `margin` pixels
// from the left edge and the caption `spacing` pixels after it, or, with no margin, the two
// centred together. Disabled, the picture is greyed as the style greys icons.
class TPictureButton : public QPushButton {
    Q_OBJECT

  public:
    static constexpr int kCentred = forms::kCentredPicture;

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

}  // namespace ui::qt
