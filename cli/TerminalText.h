#pragma once

#include <string>
#include <string_view>

namespace cli {

// Text from a disc or a file, made safe to print: control characters (NUL to 0x1F, and DEL)
// become \xHH and a backslash \\, so that no escape sequence in a volume label can recolour
// the terminal, move its cursor or set its title.
std::string Printable(std::string_view text);

// Printable text in single quotes, so that leading and trailing blanks show.
std::string Quoted(std::string_view text);

}  // namespace cli
