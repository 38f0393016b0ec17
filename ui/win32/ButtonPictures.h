// Push buttons with a picture beside their caption, drawn by the program on the system's
// button (an owner-drawn BUTTON).
#pragma once

#include <windows.h>

#include "ui/forms/Pictures.h"

namespace ui::win32 {

struct ButtonLook {
    forms::Picture picture;
    // From the left edge to the picture, or forms::kCentredPicture; then to the caption.
    int margin = forms::kCentredPicture;
    int spacing = 0;
};

// The picture as a disabled button shows it: its shape sunk into the face, in the system's
// shadow colour with a highlight below and right of it.
forms::Picture DisabledPicture(const forms::Picture& picture);

// Draws the button as the system asks for it: the classic push-button frame (pressed,
// focused and default as its state says), the picture and the caption with its accelerator.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const ButtonLook& look);

}  // namespace ui::win32
