// Texts for the ANSI calls of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace ui::win32 {

// The forms' UTF-8 text in the Windows-1252 code page the program's texts are written in, one
// byte a character. A character that code page lacks, and a byte that is no UTF-8, become "?".
std::string ToAnsi(std::string_view utf8);

}  // namespace ui::win32
