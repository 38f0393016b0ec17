// The fonts of a form, made from their descriptions.
#pragma once

#include <windows.h>

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "ui/forms/FormSpec.h"

namespace ui::win32 {

// The first of the faces that the system has, or the first face when it has none of them
// (the font mapper then finds the nearest).
std::string InstalledFace(std::span<const std::string_view> faces);

// The fonts a form's windows use, each made once; all freed with the set, which must outlive
// the windows that use them.
class FontSet {
  public:
    FontSet() = default;
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;
    ~FontSet();

    // The font of the description: its face, its height in pixels (the character's height,
    // without the internal leading), weight, slant, underline and character set.
    HFONT Get(const forms::FontSpec& spec);

  private:
    using Key = std::tuple<std::string, int, bool, bool, bool, int>;
    std::map<Key, HFONT> fonts_;
};

}  // namespace ui::win32
