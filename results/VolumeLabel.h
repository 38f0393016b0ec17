// The volume label as the program shows, records and names files after it.
#pragma once

#include <string>
#include <string_view>

namespace results {

// Each control byte (0x00-0x1F, 0x7F) as "_", every other byte as it is: no line of the
// document breaks at a label, and no text shows a control character.
std::string PrintableLabel(std::string_view label);

// The label without the UTF-8 character that its end cuts in two: when the label is UTF-8
// but for its last bytes, which begin a character they do not finish, those bytes go.
// Anything else, UTF-8 or not, stays as it is.
std::string_view WithoutCutCharacter(std::string_view label);

// The label without the blanks that fill it to 32 characters.
std::string_view WithoutFill(std::string_view label);

}  // namespace results
