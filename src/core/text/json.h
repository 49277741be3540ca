#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

struct JsonMember;

// A JSON value as a file held it (RFC 8259): null, true or false, a number, a string
// (UTF-8), an array or an object (its members in the file's order).
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<JsonMember> members;

    // The first member named `key` of an object; nothing for another kind or no such member.
    const JsonValue* Find(std::string_view key) const;
    // The member's number, when it is one and finite.
    std::optional<double> NumberAt(std::string_view key) const;
    // The member's whole number, when it is a number with no fraction within the range.
    std::optional<int64_t> IntegerAt(std::string_view key, int64_t least, int64_t most) const;
    // The member's string.
    std::optional<std::string> TextAt(std::string_view key) const;
};

struct JsonMember {
    std::string name;
    JsonValue value;
};

// The value of a JSON text, or why there is none: "line 3: a value was expected". Nesting
// deeper than `deepest` arrays and objects is refused, so no text can exhaust the stack.
struct JsonParse {
    std::optional<JsonValue> value;
    std::string error;
};
JsonParse ParseJson(std::string_view text, std::size_t deepest = 64);

// A string as JSON writes it, quoted: quotes, backslashes and control characters escaped,
// a byte that is not part of valid UTF-8 written as the character U+FFFD.
std::string JsonQuote(std::string_view text);

} // namespace zorva
