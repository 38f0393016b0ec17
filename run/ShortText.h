#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace run {

// A text of at most 255 characters: whatever would go beyond is silently dropped.
class ShortText {
  public:
    static constexpr std::size_t kCapacity = 255;

    ShortText() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): implicit like a plain string
    ShortText(std::string_view text) { Assign(text); }

    ShortText& Assign(std::string_view text) {
        text_.assign(text.substr(0, kCapacity));
        return *this;
    }
    ShortText& Append(std::string_view text) {
        text_.append(text.substr(0, kCapacity - text_.size()));
        return *this;
    }
    ShortText& Append(char c) {
        if (text_.size() < kCapacity) {
            text_.push_back(c);
        }
        return *this;
    }
    ShortText& operator=(std::string_view text) { return Assign(text); }
    ShortText& operator+=(std::string_view text) { return Append(text); }

    void Clear() { text_.clear(); }
    const std::string& str() const { return text_; }
    // NOLINTNEXTLINE(google-explicit-constructor): reads like a plain string
    operator std::string_view() const { return text_; }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    bool operator==(std::string_view other) const { return text_ == other; }

  private:
    std::string text_;
};

}  // namespace run
