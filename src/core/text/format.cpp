#include "core/text/format.h"

#include <array>
#include <charconv>
#include <cmath>

namespace zorva {
namespace {

// Room for the longest fixed-point double (about 310 digits) with its sign and decimals.
constexpr std::size_t kNumberBuffer = 400;

} // namespace

double RoundHalfUp(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::floor(v * scale + 0.5) / scale + 0.0;
}

std::string FixedText(double v, int decimals) {
    std::array<char, kNumberBuffer> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v + 0.0,
                                 std::chars_format::fixed, decimals);
    std::string text(buf.data(), r.ptr);
    // A tiny negative value rounds to all zeros; it is shown without its sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string ShortestDecimalText(double v) {
    constexpr int kSignificant = 15; // general format drops the trailing zeros
    return GeneralText(v, kSignificant);
}

std::string RoundTripText(double v) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v + 0.0);
    return std::string(buf.data(), r.ptr);
}

std::string GeneralText(double v, int digits) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v + 0.0,
                                 std::chars_format::general, digits);
    return std::string(buf.data(), r.ptr);
}

int32_t Utf8Length(std::string_view text) {
    int32_t n = 0;
    for (const unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace zorva
