#include "ui/forms/Pictures.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <optional>
#include <string_view>

#include "ui/forms/ProgramIcon.xpm"

namespace ui::forms {

namespace {

using platform::Color;
using platform::MakeColor;

// One colour per letter of a button picture's rows; '.' is the silver background.
constexpr Color ColourOf(char key) {
    switch (key) {
        case 'k':
            return MakeColor(0, 0, 0);  // black outline
        case 'g':
            return MakeColor(18, 226, 107);  // arrow green
        case 'r':
            return MakeColor(255, 0, 0);  // red
        case 'd':
            return MakeColor(128, 0, 0);  // dark red
        case 's':
            return MakeColor(128, 128, 128);  // grey shadow
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
Picture PictureFromRows(const std::array<std::string_view, N>& rows) {
    Picture picture{
        platform::Bitmap(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(N)),
        kSilver};
    for (std::int32_t y = 0; y < picture.pixels.Height(); ++y) {
        const std::string_view row = rows[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < picture.pixels.Width(); ++x) {
            picture.pixels.SetPixel(x, y, ColourOf(row[static_cast<std::size_t>(x)]));
        }
    }
    return picture;
}

// An XPM picture of one character a pixel, "None" for see-through pixels. Anything it cannot
// read gives an empty picture.
template <std::size_t Lines>
Picture PictureFromXpm(const char* const (&xpm)[Lines]) {
    int width = 0;
    int height = 0;
    int colours = 0;
    int charsPerPixel = 0;
    const std::string_view header = xpm[0];
    const char* at = header.data();
    const char* const end = header.data() + header.size();
    for (int* value : {&width, &height, &colours, &charsPerPixel}) {
        at = std::find_if(at, end, [](char c) { return c != ' '; });
        at = std::from_chars(at, end, *value).ptr;
    }
    if (width <= 0 || height <= 0 || colours <= 0 || charsPerPixel != 1 ||
        std::size_t{1} + static_cast<std::size_t>(colours) + static_cast<std::size_t>(height) >
            Lines) {
        return {};
    }
    std::map<char, std::optional<Color>> palette;  // nothing: see-through
    for (int i = 1; i <= colours; ++i) {
        const std::string_view line = xpm[i];
        const std::size_t hash = line.find(" c #");
        std::optional<Color> colour;
        unsigned rgb = 0;
        if (hash != std::string_view::npos &&
            std::from_chars(line.data() + hash + 4, line.data() + line.size(), rgb, 16).ec ==
                std::errc()) {
            colour = MakeColor(static_cast<std::uint8_t>(rgb >> 16),
                               static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb));
        }
        if (!line.empty()) {
            palette[line[0]] = colour;
        }
    }
    // A see-through colour that no visible pixel has.
    Color transparent = MakeColor(255, 0, 255);
    while (std::ranges::any_of(palette,
                               [&](const auto& entry) { return entry.second == transparent; })) {
        --transparent;
    }
    Picture picture{platform::Bitmap(width, height), transparent};
    for (int y = 0; y < height; ++y) {
        const std::string_view row = xpm[1 + colours + y];
        for (int x = 0; x < width; ++x) {
            const auto found = static_cast<std::size_t>(x) < row.size()
                                   ? palette.find(row[static_cast<std::size_t>(x)])
                                   : palette.end();
            if (found == palette.end()) {
                return {};
            }
            picture.pixels.SetPixel(x, y, found->second.value_or(transparent));
        }
    }
    return picture;
}

}  // namespace

Picture StartPicture() {
    return PictureFromRows(kStartRows);
}

Picture StopPicture() {
    return PictureFromRows(kStopRows);
}

Picture ProgramIconPicture() {
    return PictureFromXpm(kProgramIconXpm);
}

Picture PictureOf(PictureSource source) {
    switch (source) {
        case PictureSource::ProgramIcon:
            return ProgramIconPicture();
        case PictureSource::StartArrow:
            return StartPicture();
        case PictureSource::StopSquare:
            return StopPicture();
        case PictureSource::None:
        case PictureSource::Chart:
            break;
    }
    return {};
}

}  // namespace ui::forms
