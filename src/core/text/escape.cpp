#include "core/text/escape.h"

#include <cstdint>

namespace zorva {

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr unsigned char kDelete = 0x7F;
constexpr char32_t kFirstC1 = 0x80;
constexpr char32_t kLastC1 = 0x9F;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// The length of the valid UTF-8 character at the start of `text`, and its code point; 0 for
// a byte that starts none.
std::size_t CharacterAt(std::string_view text, char32_t& code) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are not UTF-8.
    if (code < least || code > kLastCodePoint ||
        (code >= kFirstSurrogate && code <= kLastSurrogate))
        return 0;
    return length;
}

void AppendHexByte(std::string& out, const char* prefix, unsigned char b, const char* digits) {
    out += prefix;
    out += digits[b >> 4];
    out += digits[b & 0xF];
}

} // namespace

std::string_view WithoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    return text;
}

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        char32_t code = 0;
        const std::size_t n = CharacterAt(text, code);
        if (n == 0) return false;
        text.remove_prefix(n);
    }
    return true;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        char32_t code = 0;
        const std::size_t n = CharacterAt(text, code);
        if (n == 0) {
            out += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code < 0x20 || code == kDelete) {
            AppendHexByte(out, "\\u00", static_cast<unsigned char>(code), kHex);
        } else {
            out += text.substr(0, n);
        }
        text.remove_prefix(n);
    }
    return out + "\"";
}

std::string PercentEncoded(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        char32_t code = 0;
        const std::size_t n = CharacterAt(text, code);
        if (n == 0 || code == '%') {
            AppendHexByte(out, "%", static_cast<unsigned char>(text.front()), kUpperHex);
            text.remove_prefix(1);
            continue;
        }
        out += text.substr(0, n);
        text.remove_prefix(n);
    }
    return out;
}

std::string TerminalText(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        char32_t code = 0;
        const std::size_t n = CharacterAt(text, code);
        if (n == 0) {
            AppendHexByte(out, "\\x", static_cast<unsigned char>(text.front()), kHex);
            text.remove_prefix(1);
            continue;
        }
        if (code == '\\') {
            out += "\\\\";
        } else if (code == '\t') {
            out += "\\t";
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\r') {
            out += "\\r";
        } else if (code < 0x20 || code == kDelete) {
            AppendHexByte(out, "\\x", static_cast<unsigned char>(code), kHex);
        } else if (code >= kFirstC1 && code <= kLastC1) {
            AppendHexByte(out, "\\u00", static_cast<unsigned char>(code), kHex);
        } else {
            out += text.substr(0, n);
        }
        text.remove_prefix(n);
    }
    return out;
}

} // namespace zorva
