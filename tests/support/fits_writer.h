#pragma once

// FITS files written byte by byte in the tests, by the standard's layout rather than by
// the library that reads them: 80-character cards in 2880-byte blocks, then the values
// big-endian, padded to a whole block.

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zorva::test {

inline constexpr std::size_t kFitsBlock = 2880;
inline constexpr std::size_t kFitsCard = 80;

// "KEY     = value", blank-padded to a card.
inline std::string Card(std::string_view key, std::string_view value) {
    std::string card(key);
    card.resize(8, ' ');
    card += "= ";
    card += value;
    card.resize(kFitsCard, ' ');
    return card;
}

inline std::string Quoted(std::string_view text) {
    std::string s = "'" + std::string(text);
    while (s.size() < 9)
        s += ' ';
    return s + "'";
}

struct FitsHdu {
    int bitpix = 16;
    std::vector<int64_t> axes;
    std::vector<std::string> cards; // further cards, made with Card
    std::vector<double> stored;     // the values as stored, first axis fastest
    bool extension = false;         // an IMAGE extension rather than the primary array
};

template <typename T> void PutBigEndian(std::string& out, T value) {
    auto bits = std::bit_cast<std::array<unsigned char, sizeof(T)>>(value);
    for (std::size_t i = sizeof(T); i-- > 0;)
        out += static_cast<char>(bits[i]);
}

inline void Pad(std::string& s, char fill) {
    while (s.size() % kFitsBlock != 0)
        s += fill;
}

inline std::string HduBytes(const FitsHdu& h) {
    std::string out;
    out += h.extension ? Card("XTENSION", Quoted("IMAGE")) : Card("SIMPLE", "T");
    out += Card("BITPIX", std::to_string(h.bitpix));
    out += Card("NAXIS", std::to_string(h.axes.size()));
    for (std::size_t i = 0; i < h.axes.size(); ++i)
        out += Card("NAXIS" + std::to_string(i + 1), std::to_string(h.axes[i]));
    if (h.extension) {
        out += Card("PCOUNT", "0");
        out += Card("GCOUNT", "1");
    } else {
        out += Card("EXTEND", "T");
    }
    for (const std::string& c : h.cards)
        out += c;
    std::string end = "END";
    end.resize(kFitsCard, ' ');
    out += end;
    Pad(out, ' ');
    const std::size_t header = out.size();
    for (const double v : h.stored) {
        switch (h.bitpix) {
        case 8:
            out += static_cast<char>(static_cast<uint8_t>(v));
            break;
        case 16:
            PutBigEndian(out, static_cast<int16_t>(v));
            break;
        case 32:
            PutBigEndian(out, static_cast<int32_t>(v));
            break;
        case 64:
            PutBigEndian(out, static_cast<int64_t>(v));
            break;
        case -32:
            PutBigEndian(out, static_cast<float>(v));
            break;
        default:
            PutBigEndian(out, v);
            break;
        }
    }
    if (out.size() > header) Pad(out, '\0');
    return out;
}

inline std::string FitsBytes(std::initializer_list<FitsHdu> hdus) {
    std::string out;
    for (const FitsHdu& h : hdus)
        out += HduBytes(h);
    return out;
}

} // namespace zorva::test
