#include "core/text/numeric_text.h"

#include <charconv>
#include <string>

namespace zorva {

bool IsNumericText(std::string_view text) {
    if (text.empty()) return false;
    if (text.front() == '-') {
        if (text.size() < 2) return false;
        text.remove_prefix(1);
    }
    int separators = 0;
    for (const char c : text) {
        if (c == '.' || c == ',') {
            if (++separators > 1) return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<double> NumericValue(std::string_view text, char separator) {
    if (!IsNumericText(text)) return std::nullopt;
    const char other = separator == '.' ? ',' : '.';
    if (text.find(other) != std::string_view::npos) return std::nullopt;
    std::string plain(text);
    bool digit = false;
    for (char& c : plain) {
        if (c == separator) c = '.';
        if (c >= '0' && c <= '9') digit = true;
    }
    if (!digit) return std::nullopt; // "." or "-," alone
    double v = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (ec != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return v;
}

} // namespace zorva
