// How a box names a file that could not be created or opened, and why.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace run {

// The system's reason in the words it gives, without the full stop and line break that
// Windows ends its messages with.
inline std::string ReasonText(std::error_code reason) {
    std::string text = reason.message();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

// "Cannot create file NAME: REASON" and the like; the name alone when there is no reason.
inline std::string FileErrorText(std::string_view what, std::string_view path,
                                 std::error_code reason) {
    std::string text = std::string(what) + " " + std::string(path);
    if (reason) {
        text += ": " + ReasonText(reason);
    }
    return text;
}

}  // namespace run
