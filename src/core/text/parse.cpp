#include "core/text/parse.h"

#include <charconv>
#include <cmath>

namespace zorva {
namespace {

template <class T> std::optional<T> ParseWhole(std::string_view w) {
    if (!StripPlusSign(w) || w.empty()) return std::nullopt;
    T v{};
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc() || end != w.data() + w.size()) return std::nullopt;
    return v;
}

} // namespace

bool StripPlusSign(std::string_view& word) {
    if (word.empty() || word.front() != '+') return true;
    word.remove_prefix(1);
    return !word.empty() && word.front() != '+' && word.front() != '-';
}

std::optional<double> ParseReal(std::string_view word) {
    const auto v = ParseWhole<double>(word);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

std::optional<int32_t> ParseInt32(std::string_view word) {
    return ParseWhole<int32_t>(word);
}

std::optional<int64_t> ParseInt64(std::string_view word) {
    return ParseWhole<int64_t>(word);
}

} // namespace zorva
