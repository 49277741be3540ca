// A strict JSON reader for the files the program keeps beside pictures, and the quoting of
// strings in what it writes.
#include "core/text/json.h"

#include <charconv>
#include <cmath>

namespace zorva {

namespace {

class Reader {
  public:
    Reader(std::string_view text, std::size_t deepest) : text_(text), deepest_(deepest) {}

    JsonParse Parse() {
        JsonParse result;
        JsonValue value;
        SkipSpace();
        if (Value(value, 0)) {
            SkipSpace();
            if (at_ == text_.size()) {
                result.value = std::move(value);
                return result;
            }
            Fail("more follows the value");
        }
        result.error = "line " + std::to_string(Line()) + ": " + error_;
        return result;
    }

  private:
    std::string_view text_;
    std::size_t deepest_;
    std::size_t at_ = 0;
    std::string error_;

    bool Fail(const char* why) {
        if (error_.empty()) error_ = why;
        return false;
    }
    std::size_t Line() const {
        std::size_t line = 1;
        for (std::size_t i = 0; i < at_ && i < text_.size(); ++i)
            line += text_[i] == '\n';
        return line;
    }
    void SkipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool Literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return Fail("a value was expected");
        at_ += word.size();
        return true;
    }

    bool Value(JsonValue& out, std::size_t depth) {
        if (at_ >= text_.size()) return Fail("a value was expected");
        switch (text_[at_]) {
        case '{':
            return Object(out, depth);
        case '[':
            return Array(out, depth);
        case '"':
            out.kind = JsonValue::Kind::String;
            return String(out.text);
        case 't':
            out.kind = JsonValue::Kind::Bool;
            out.boolean = true;
            return Literal("true");
        case 'f':
            out.kind = JsonValue::Kind::Bool;
            out.boolean = false;
            return Literal("false");
        case 'n':
            out.kind = JsonValue::Kind::Null;
            return Literal("null");
        default:
            return Number(out);
        }
    }

    bool Number(JsonValue& out) {
        // The grammar first: -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
        const std::size_t from = at_;
        const auto digit = [&] {
            return at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9';
        };
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        if (!digit()) return Fail("a value was expected");
        if (text_[at_] == '0') {
            ++at_;
        } else {
            while (digit())
                ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (!digit()) return Fail("a digit was expected after the point");
            while (digit())
                ++at_;
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (!digit()) return Fail("a digit was expected in the exponent");
            while (digit())
                ++at_;
        }
        double v = 0;
        const auto [end, ec] = std::from_chars(text_.data() + from, text_.data() + at_, v);
        if (ec != std::errc() || end != text_.data() + at_ || !std::isfinite(v))
            return Fail("a number out of range");
        out.kind = JsonValue::Kind::Number;
        out.number = v;
        return true;
    }

    static void PutUtf8(std::string& out, uint32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    bool Hex4(uint32_t& out) {
        if (at_ + 4 > text_.size()) return Fail("four hex digits were expected");
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            out <<= 4;
            if (c >= '0' && c <= '9') {
                out |= static_cast<uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                out |= static_cast<uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                out |= static_cast<uint32_t>(c - 'A' + 10);
            } else {
                return Fail("four hex digits were expected");
            }
        }
        return true;
    }

    bool String(std::string& out) {
        ++at_; // the opening quote
        out.clear();
        while (true) {
            if (at_ >= text_.size()) return Fail("a string is not closed");
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20) return Fail("a control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                ++at_;
                continue;
            }
            if (++at_ >= text_.size()) return Fail("a string is not closed");
            const char e = text_[at_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                uint32_t code = 0;
                if (!Hex4(code)) return false;
                constexpr uint32_t kHighFrom = 0xD800, kLowFrom = 0xDC00, kLowTo = 0xDFFF;
                if (code >= kHighFrom && code < kLowFrom) {
                    uint32_t low = 0;
                    if (text_.substr(at_, 2) != "\\u") return Fail("half a surrogate pair");
                    at_ += 2;
                    if (!Hex4(low)) return false;
                    if (low < kLowFrom || low > kLowTo) return Fail("half a surrogate pair");
                    code = 0x10000 + ((code - kHighFrom) << 10) + (low - kLowFrom);
                } else if (code >= kLowFrom && code <= kLowTo) {
                    return Fail("half a surrogate pair");
                }
                PutUtf8(out, code);
                break;
            }
            default:
                return Fail("an unknown escape in a string");
            }
        }
    }

    bool Array(JsonValue& out, std::size_t depth) {
        if (depth >= deepest_) return Fail("nested too deep");
        out.kind = JsonValue::Kind::Array;
        ++at_;
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        while (true) {
            out.items.emplace_back();
            SkipSpace();
            if (!Value(out.items.back(), depth + 1)) return false;
            SkipSpace();
            if (at_ >= text_.size()) return Fail("an array is not closed");
            if (text_[at_] == ']') {
                ++at_;
                return true;
            }
            if (text_[at_] != ',') return Fail("a comma or ] was expected");
            ++at_;
        }
    }

    bool Object(JsonValue& out, std::size_t depth) {
        if (depth >= deepest_) return Fail("nested too deep");
        out.kind = JsonValue::Kind::Object;
        ++at_;
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        while (true) {
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != '"') return Fail("a name was expected");
            std::string name;
            if (!String(name)) return false;
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != ':') return Fail("a colon was expected");
            ++at_;
            SkipSpace();
            JsonValue value;
            if (!Value(value, depth + 1)) return false;
            out.members.push_back(JsonMember{std::move(name), std::move(value)});
            SkipSpace();
            if (at_ >= text_.size()) return Fail("an object is not closed");
            if (text_[at_] == '}') {
                ++at_;
                return true;
            }
            if (text_[at_] != ',') return Fail("a comma or } was expected");
            ++at_;
        }
    }
};

// The length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t Utf8Sequence(std::string_view text, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = b(i);
    std::size_t length = 0;
    uint32_t least = 0;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        length = 2;
        least = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        least = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    uint32_t code = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b(i + k) & 0x3F);
    }
    constexpr uint32_t kLast = 0x10FFFF, kSurrogateFrom = 0xD800, kSurrogateTo = 0xDFFF;
    if (code < least || code > kLast || (code >= kSurrogateFrom && code <= kSurrogateTo)) return 0;
    return length;
}

} // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    if (kind != Kind::Object) return nullptr;
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

std::optional<double> JsonValue::NumberAt(std::string_view key) const {
    const JsonValue* v = Find(key);
    if (!v || v->kind != Kind::Number || !std::isfinite(v->number)) return std::nullopt;
    return v->number;
}

std::optional<int64_t> JsonValue::IntegerAt(std::string_view key, int64_t least,
                                            int64_t most) const {
    const std::optional<double> v = NumberAt(key);
    if (!v || *v != std::floor(*v) || *v < static_cast<double>(least) ||
        *v > static_cast<double>(most))
        return std::nullopt;
    return static_cast<int64_t>(*v);
}

std::optional<std::string> JsonValue::TextAt(std::string_view key) const {
    const JsonValue* v = Find(key);
    if (!v || v->kind != Kind::String) return std::nullopt;
    return v->text;
}

JsonParse ParseJson(std::string_view text, std::size_t deepest) {
    return Reader(text, deepest).Parse();
}

std::string JsonQuote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
            ++i;
        } else if (const std::size_t n = Utf8Sequence(text, i)) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\xEF\xBF\xBD"; // U+FFFD
            ++i;
        }
    }
    return out + "\"";
}

} // namespace zorva
