#include "results/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "platform/Utf8.h"

namespace results {

namespace {

// A UTF-8 character at the start of `text` that is whole and well formed: no overlong form,
// no surrogate, nothing past U+10FFFF. Its length, or 0.
std::size_t WholeUtf8(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    const std::size_t length = platform::Utf8Length(lead);
    if (length < 2 || length > text.size()) {
        return 0;
    }
    const auto second = static_cast<std::uint8_t>(text[1]);
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead == 0xE0) {
        low = 0xA0;
    } else if (lead == 0xED) {
        high = 0x9F;
    } else if (lead == 0xF0) {
        low = 0x90;
    } else if (lead == 0xF4) {
        high = 0x8F;
    }
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!platform::IsUtf8Continuation(static_cast<std::uint8_t>(text[i]))) {
            return 0;
        }
    }
    return length;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Deeper than this, a side file is no side file of ours; the bound keeps the reader's
// recursion short whatever a file holds.
constexpr int kMaxDepth = 16;

// A reader of one JSON text; each step leaves `at` after what it read, false when the text
// is not JSON.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<JsonObject> Object() {
        Space();
        JsonObject members;
        if (!Members(&members, 0)) {
            return std::nullopt;
        }
        Space();
        return at_ == text_.size() ? std::optional(std::move(members)) : std::nullopt;
    }

  private:
    void Space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    bool Take(char c) {
        Space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            return false;
        }
        at_ += word.size();
        return true;
    }

    // An object's members from its "{" on; into `members` when given.
    bool Members(JsonObject* members, int depth) {
        if (depth > kMaxDepth || !Take('{')) {
            return false;
        }
        if (Take('}')) {
            return true;
        }
        do {
            Space();
            std::string name;
            if (!String(name) || !Take(':')) {
                return false;
            }
            JsonValue value;
            if (!Value(value, depth)) {
                return false;
            }
            if (members != nullptr) {
                members->try_emplace(std::move(name), std::move(value));
            }
        } while (Take(','));
        return Take('}');
    }

    bool Elements(int depth) {
        if (depth > kMaxDepth || !Take('[')) {
            return false;
        }
        if (Take(']')) {
            return true;
        }
        do {
            JsonValue ignored;
            if (!Value(ignored, depth)) {
                return false;
            }
        } while (Take(','));
        return Take(']');
    }

    bool Value(JsonValue& value, int depth) {
        Space();
        if (at_ >= text_.size()) {
            return false;
        }
        const char c = text_[at_];
        if (c == '{' || c == '[') {
            value = JsonNested{};
            return c == '{' ? Members(nullptr, depth + 1) : Elements(depth + 1);
        }
        if (c == '"') {
            std::string s;
            if (!String(s)) {
                return false;
            }
            value = std::move(s);
            return true;
        }
        if (Word("true")) {
            value = true;
            return true;
        }
        if (Word("false")) {
            value = false;
            return true;
        }
        if (Word("null")) {
            value = JsonNull{};
            return true;
        }
        return Number(value);
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool Digits() {
        const std::size_t start = at_;
        while (at_ < text_.size() && IsDigit(text_[at_])) {
            ++at_;
        }
        return at_ > start;
    }

    bool Number(JsonValue& value) {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        if (!Digits()) {
            return false;
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (!Digits()) {
                return false;
            }
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
            }
            if (!Digits()) {
                return false;
            }
        }
        // Whatever the locale, as JSON writes numbers.
        double v = 0.0;
        const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + at_, v);
        if (error != std::errc() || end != text_.data() + at_ || !std::isfinite(v)) {
            return false;
        }
        value = v;
        return true;
    }

    bool Hex4(std::uint32_t& code) {
        if (at_ + 4 > text_.size()) {
            return false;
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            const int digit = IsDigit(c)               ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
            if (digit < 0) {
                return false;
            }
            code = code << 4 | static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    bool Escape(std::string& out) {
        if (at_ >= text_.size()) {
            return false;
        }
        const char c = text_[at_++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                break;
            default:
                return false;
        }
        std::uint32_t code = 0;
        if (!Hex4(code)) {
            return false;
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            std::uint32_t low = 0;
            if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return false;
        }
        AppendUtf8(out, code);
        return true;
    }

    bool String(std::string& out) {
        if (at_ >= text_.size() || text_[at_] != '"') {
            return false;
        }
        ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c == '\\') {
                if (!Escape(out)) {
                    return false;
                }
            } else {
                out += c;
            }
        }
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (const std::size_t length = WholeUtf8(text.substr(i))) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            AppendUtf8(out, byte);
        }
        ++i;
    }
    return out + "\"";
}

std::optional<JsonObject> ParseJsonObject(std::string_view text) {
    return Reader(text).Object();
}

std::optional<std::string> JsonText(const JsonObject& object, std::string_view name) {
    const auto it = object.find(name);
    if (it == object.end() || !std::holds_alternative<std::string>(it->second)) {
        return std::nullopt;
    }
    return std::get<std::string>(it->second);
}

std::optional<double> JsonNumber(const JsonObject& object, std::string_view name) {
    const auto it = object.find(name);
    if (it == object.end() || !std::holds_alternative<double>(it->second)) {
        return std::nullopt;
    }
    return std::get<double>(it->second);
}

}  // namespace results
