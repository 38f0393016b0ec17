#include "platform/IdentityField.h"

namespace platform {

std::string IdentityField(std::string_view raw) {
    raw = raw.substr(0, raw.find('\n')).substr(0, kIdentityFieldChars);
    std::string text;
    text.reserve(raw.size());
    for (const char c : raw) {
        text += c >= ' ' && c <= '~' ? c : '?';
    }
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace platform
