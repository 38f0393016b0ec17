// JSON as the program writes it and reads it back: strings of its 8-bit texts, and objects
// of one level (the catalogue's side files) read into their members.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace results {

// A JSON string of 8-bit text: UTF-8 as it is, every other byte above 0x7F as the character
// of that number (the documents' 8-bit labels), control characters escaped.
std::string JsonString(std::string_view text);

// A member's value: a string (decoded to UTF-8), a number, true or false, or null; a nested
// object or array is kept as Nested, which no reader here looks into.
struct JsonNull {};
struct JsonNested {};
using JsonValue = std::variant<JsonNull, std::string, double, bool, JsonNested>;
using JsonObject = std::map<std::string, JsonValue, std::less<>>;

// The members of the one object that the text holds, white space around it allowed;
// nothing for anything that is not well-formed JSON of that shape. A member named twice
// keeps its first value.
std::optional<JsonObject> ParseJsonObject(std::string_view text);

// A member's string or number, when it has one of that kind.
std::optional<std::string> JsonText(const JsonObject& object, std::string_view name);
std::optional<double> JsonNumber(const JsonObject& object, std::string_view name);

}  // namespace results
