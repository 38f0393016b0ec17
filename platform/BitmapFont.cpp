#include "platform/BitmapFont.h"

namespace platform {

std::int64_t TextWidth(const BitmapFont& font, std::string_view text) {
    std::int64_t width = 0;
    for (char c : text) {
        width += font.GlyphOf(c).advance;
    }
    return width;
}

}  // namespace platform
