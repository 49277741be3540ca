#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

// A JSON value as read (RFC 8259): null, true or false, a number, a string, an array or an
// object whose members keep their order (their names in `names`, their values at the same
// places in `items`).
struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;               // a string's, in UTF-8
    std::vector<JsonValue> items;   // an array's, or an object's values
    std::vector<std::string> names; // an object's member names

    bool IsNull() const { return kind == Kind::Null; }
    // The member of an object by name (the first of that name); nullptr when there is none
    // or this is no object.
    const JsonValue* Member(std::string_view name) const;
    // A number that is whole and fits 32 bits.
    std::optional<int32_t> Whole() const;
};

struct JsonRead {
    std::optional<JsonValue> value;
    std::string error; // where and why reading stopped; empty when read
};

// Reads one JSON text: a value with only white space around it. Refuses what RFC 8259 does
// not allow (a trailing comma, a leading zero, a lone surrogate, a control character in a
// string, a number too large for a double) and nesting deeper than `deepest`, so a hostile
// text cannot exhaust the stack.
inline constexpr std::size_t kJsonDeepest = 64;
JsonRead ReadJson(std::string_view text, std::size_t deepest = kJsonDeepest);

} // namespace zorva
