// The program's pictures as plain pixels: the Start and Stop button pictures and the
// program's icon. Each front end turns them into its own kind of picture.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Color.h"
#include "ui/forms/FormSpec.h"

namespace ui::forms {

// A picture with see-through pixels: wherever it holds the colour `transparent`, what lies
// behind it shows.
struct Picture {
    platform::Bitmap pixels;
    platform::Color transparent = 0;

    bool IsTransparent(std::int64_t x, std::int64_t y) const {
        return pixels.Pixel(x, y) == transparent;
    }
};

// The button pictures are drawn on silver, which is their see-through colour.
inline constexpr platform::Color kSilver = 0xC0C0C0;

Picture StartPicture();  // a green arrow pointing right, black outline, 13 x 13
Picture StopPicture();   // a red square, dark-red outline, grey shadow right and below, 12 x 13
Picture ProgramIconPicture();  // 32 x 32, see-through around the disc and in its hole

// The picture a control or a window shows; an empty one for none and for the chart, which the
// window draws at run time.
Picture PictureOf(PictureSource source);

}  // namespace ui::forms
