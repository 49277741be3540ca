// A small strict JSON reader for the program's own lines (a picture's spots, say), with
// every limit checked, so that whatever a file holds it reads no further than its end.
#include "core/text/json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace zorva {

const JsonValue* JsonValue::Member(std::string_view name) const {
    if (kind != Kind::Object) return nullptr;
    for (std::size_t i = 0; i < names.size() && i < items.size(); ++i) {
        if (names[i] == name) return &items[i];
    }
    return nullptr;
}

std::optional<int32_t> JsonValue::Whole() const {
    constexpr double kLow = -2147483648.0, kHigh = 2147483647.0;
    if (kind != Kind::Number || !(number >= kLow && number <= kHigh)) return std::nullopt;
    if (std::trunc(number) != number) return std::nullopt;
    return static_cast<int32_t>(number);
}

namespace {

class Reader {
  public:
    Reader(std::string_view text, std::size_t deepest) : text_(text), deepest_(deepest) {}

    JsonRead Read() {
        JsonRead read;
        JsonValue value;
        SkipSpace();
        if (Value(value, 0)) {
            SkipSpace();
            if (at_ == text_.size()) {
                read.value = std::move(value);
                return read;
            }
            Fail("more after the value");
        }
        read.error = error_ + " at character " + std::to_string(at_ + 1);
        return read;
    }

  private:
    bool Fail(const std::string& why) {
        if (error_.empty()) error_ = why;
        return false;
    }
    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++at_;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return Fail("not a JSON value");
        at_ += word.size();
        return true;
    }

    bool Value(JsonValue& v, std::size_t depth) {
        if (AtEnd()) return Fail("the text ends where a value should be");
        switch (Peek()) {
        case '{':
            return Object(v, depth + 1);
        case '[':
            return Array(v, depth + 1);
        case '"':
            v.kind = JsonValue::Kind::String;
            return String(v.text);
        case 't':
            v.kind = JsonValue::Kind::Boolean;
            v.boolean = true;
            return Word("true");
        case 'f':
            v.kind = JsonValue::Kind::Boolean;
            return Word("false");
        case 'n':
            v.kind = JsonValue::Kind::Null;
            return Word("null");
        default:
            v.kind = JsonValue::Kind::Number;
            return Number(v.number);
        }
    }

    bool Object(JsonValue& v, std::size_t depth) {
        if (depth > deepest_) return Fail("nested too deep");
        v.kind = JsonValue::Kind::Object;
        ++at_;
        SkipSpace();
        if (Peek() == '}') {
            ++at_;
            return true;
        }
        while (true) {
            SkipSpace();
            if (Peek() != '"') return Fail("a member's name should be a string");
            std::string name;
            if (!String(name)) return false;
            SkipSpace();
            if (Peek() != ':') return Fail("':' should follow a member's name");
            ++at_;
            SkipSpace();
            JsonValue member;
            if (!Value(member, depth)) return false;
            v.names.push_back(std::move(name));
            v.items.push_back(std::move(member));
            SkipSpace();
            if (Peek() == ',') {
                ++at_;
                continue;
            }
            if (Peek() == '}') {
                ++at_;
                return true;
            }
            return Fail("',' or '}' should follow a member");
        }
    }

    bool Array(JsonValue& v, std::size_t depth) {
        if (depth > deepest_) return Fail("nested too deep");
        v.kind = JsonValue::Kind::Array;
        ++at_;
        SkipSpace();
        if (Peek() == ']') {
            ++at_;
            return true;
        }
        while (true) {
            SkipSpace();
            JsonValue item;
            if (!Value(item, depth)) return false;
            v.items.push_back(std::move(item));
            SkipSpace();
            if (Peek() == ',') {
                ++at_;
                continue;
            }
            if (Peek() == ']') {
                ++at_;
                return true;
            }
            return Fail("',' or ']' should follow an item");
        }
    }

    // JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    bool Number(double& number) {
        const std::size_t start = at_;
        const auto digits = [this] {
            const std::size_t from = at_;
            while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
                ++at_;
            return at_ > from;
        };
        if (Peek() == '-') ++at_;
        if (Peek() == '0') {
            ++at_;
        } else if (!digits()) {
            return Fail("not a JSON value");
        }
        if (Peek() == '.') {
            ++at_;
            if (!digits()) return Fail("a digit should follow the decimal point");
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            if (Peek() == '+' || Peek() == '-') ++at_;
            if (!digits()) return Fail("a digit should follow the exponent");
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + at_;
        const auto [end, ec] = std::from_chars(first, last, number);
        if (ec != std::errc() || end != last || !std::isfinite(number))
            return Fail("a number out of range");
        return true;
    }

    bool Hex4(uint32_t& unit) {
        if (text_.size() - at_ < 4) return Fail("a \\u escape should have four hex digits");
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            unit <<= 4;
            if (c >= '0' && c <= '9') {
                unit |= static_cast<uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                unit |= static_cast<uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                unit |= static_cast<uint32_t>(c - 'A' + 10);
            } else {
                return Fail("a \\u escape should have four hex digits");
            }
        }
        return true;
    }

    static void AppendUtf8(std::string& out, uint32_t code) {
        const auto byte = [&out](uint32_t b) { out += static_cast<char>(b); };
        if (code < 0x80) {
            byte(code);
        } else if (code < 0x800) {
            byte(0xC0 | (code >> 6));
            byte(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            byte(0xE0 | (code >> 12));
            byte(0x80 | ((code >> 6) & 0x3F));
            byte(0x80 | (code & 0x3F));
        } else {
            byte(0xF0 | (code >> 18));
            byte(0x80 | ((code >> 12) & 0x3F));
            byte(0x80 | ((code >> 6) & 0x3F));
            byte(0x80 | (code & 0x3F));
        }
    }

    bool Escape(std::string& out) {
        if (AtEnd()) return Fail("the text ends inside a string");
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
            return Fail("an unknown escape in a string");
        }
        uint32_t unit = 0;
        if (!Hex4(unit)) return false;
        constexpr uint32_t kHighFirst = 0xD800, kLowFirst = 0xDC00, kLowLast = 0xDFFF;
        if (unit >= kLowFirst && unit <= kLowLast) return Fail("a lone surrogate in a string");
        if (unit >= kHighFirst && unit < kLowFirst) {
            uint32_t low = 0;
            if (text_.substr(at_, 2) != "\\u") return Fail("a lone surrogate in a string");
            at_ += 2;
            if (!Hex4(low)) return false;
            if (low < kLowFirst || low > kLowLast) return Fail("a lone surrogate in a string");
            constexpr uint32_t kPlaneOne = 0x10000;
            unit = kPlaneOne + ((unit - kHighFirst) << 10) + (low - kLowFirst);
        }
        AppendUtf8(out, unit);
        return true;
    }

    bool String(std::string& out) {
        ++at_; // the opening quote
        while (true) {
            if (AtEnd()) return Fail("the text ends inside a string");
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return Fail("a control character in a string");
            if (c == '\\') {
                if (!Escape(out)) return false;
            } else {
                out += c;
            }
        }
    }

    std::string_view text_;
    std::size_t deepest_;
    std::size_t at_ = 0;
    std::string error_;
};

} // namespace

JsonRead ReadJson(std::string_view text, std::size_t deepest) {
    return Reader(text, deepest).Read();
}

} // namespace zorva
