#include "results/VolumeLabel.h"

#include <cstddef>
#include <cstdint>

namespace results {

namespace {

bool IsControl(std::uint8_t byte) {
    return byte < 0x20 || byte == 0x7F;
}

// The length of the UTF-8 character that the lead byte begins; 0 for a byte that begins
// none (a continuation byte, or one UTF-8 never uses).
std::size_t CharacterLength(std::uint8_t lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool IsContinuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::string PrintableLabel(std::string_view label) {
    std::string text(label);
    for (char& c : text) {
        if (IsControl(static_cast<std::uint8_t>(c))) {
            c = '_';
        }
    }
    return text;
}

std::string_view WithoutCutCharacter(std::string_view label) {
    std::size_t at = 0;
    while (at < label.size()) {
        const std::size_t length = CharacterLength(static_cast<std::uint8_t>(label[at]));
        if (length == 0) {
            return label;  // not UTF-8
        }
        std::size_t next = at + 1;
        while (next < label.size() && next < at + length &&
               IsContinuation(static_cast<std::uint8_t>(label[next]))) {
            ++next;
        }
        if (next == at + length) {
            at = next;
            continue;
        }
        // A character left unfinished: cut by the end, or not UTF-8 at all.
        return next == label.size() ? label.substr(0, at) : label;
    }
    return label;
}

}  // namespace results
