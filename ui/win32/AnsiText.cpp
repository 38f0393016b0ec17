#include "ui/win32/AnsiText.h"

#include <array>
#include <cstdint>

#include "platform/Utf8.h"

namespace ui::win32 {

namespace {

// What the bytes 0x80 to 0x9F stand for in Windows-1252; 0 where the code page leaves a gap.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char kUnknown = '?';

char FromCodePoint(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return kUnknown;
}

// The number of continuation bytes after a lead byte, or -1 for a byte that leads nothing.
int ContinuationsAfter(std::uint8_t lead) {
    return static_cast<int>(platform::Utf8Length(lead)) - 1;
}

}  // namespace

std::string ToAnsi(std::string_view utf8) {
    std::string ansi;
    ansi.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<std::uint8_t>(utf8[i++]);
        const int more = ContinuationsAfter(lead);
        if (more < 0) {
            ansi += kUnknown;
            continue;
        }
        char32_t c = more == 0 ? lead : lead & (0x3F >> more);
        int taken = 0;
        while (taken < more && i < utf8.size() &&
               platform::IsUtf8Continuation(static_cast<std::uint8_t>(utf8[i]))) {
            c = (c << 6) | (static_cast<std::uint8_t>(utf8[i++]) & 0x3F);
            ++taken;
        }
        // An overlong form is no UTF-8 either.
        const bool overlong = (more == 2 && c < 0x800) || (more == 3 && c < 0x10000);
        ansi += taken == more && !overlong ? FromCodePoint(c) : kUnknown;
    }
    return ansi;
}

}  // namespace ui::win32
