#include "results/VolumeLabel.h"

#include <cstddef>
#include <cstdint>

#include "platform/Utf8.h"

namespace results {

namespace {

bool IsControl(std::uint8_t byte) {
    return byte < 0x20 || byte == 0x7F;
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

std::string_view WithoutFill(std::string_view label) {
    const std::size_t end = label.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : label.substr(0, end + 1);
}

std::string_view WithoutCutCharacter(std::string_view label) {
    std::size_t at = 0;
    while (at < label.size()) {
        const std::size_t length = platform::Utf8Length(static_cast<std::uint8_t>(label[at]));
        if (length == 0) {
            return label;  // not UTF-8
        }
        std::size_t next = at + 1;
        while (next < label.size() && next < at + length &&
               platform::IsUtf8Continuation(static_cast<std::uint8_t>(label[next]))) {
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
