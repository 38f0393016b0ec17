#include "cli/Streams.h"

#include <string>

#include "platform/Console.h"

namespace cli {

namespace {

// Back to the start of the line, and the rest of it cleared.
constexpr std::string_view kLineStart = "\r";
constexpr std::string_view kClearToEnd = "\x1b[K";

}  // namespace

std::optional<int> Streams::OutColumns() const {
    return platform::TerminalColumns(out_);
}

void Streams::Out(std::string_view text) {
    if (outClosed_) {
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), out_) != text.size() || std::fflush(out_) != 0) {
        outClosed_ = true;
        std::clearerr(out_);
    }
}

void Streams::OutLine(std::string_view line) {
    std::string text(line);
    text += '\n';
    Out(text);
}

void Streams::DrawBar(std::string_view text) {
    std::string line(kLineStart);
    line += text;
    line += kClearToEnd;
    Out(line);
    barShown_ = true;
}

void Streams::EndBar() {
    if (barShown_) {
        Out("\n");
        barShown_ = false;
    }
}

void Streams::Say(std::string_view text) {
    if (barShown_ && errIsTerminal_) {
        std::string clear(kLineStart);
        clear += kClearToEnd;
        Out(clear);
        barShown_ = false;
    }
    std::string line = "discometer-cli: ";
    line += text;
    line += '\n';
    ErrText(line);
}

void Streams::ErrText(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), err_);
    std::fflush(err_);
}

}  // namespace cli
