#include "core/text/text_scanner.h"

#include <algorithm>

namespace zorva {
namespace {
constexpr int kEnd = std::char_traits<char>::eof();
}

bool IsStreamSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int TextScanner::Peek() {
    return buf_ == nullptr ? kEnd : buf_->sgetc();
}

int TextScanner::Take() {
    const int c = Peek();
    if (c != kEnd) buf_->sbumpc();
    if (c == '\n') ++line_;
    return c;
}

void TextScanner::SkipSpace() {
    while (IsStreamSpace(Peek()))
        Take();
}

std::optional<std::string> TextScanner::ReadWord(std::size_t maxKeep) {
    SkipSpace();
    if (Peek() == kEnd) return std::nullopt;
    std::string word;
    for (int c = Peek(); c != kEnd && !IsStreamSpace(c); c = Peek()) {
        Take();
        if (word.size() < maxKeep) word.push_back(static_cast<char>(c));
    }
    return word;
}

std::optional<char> TextScanner::ReadChar() {
    SkipSpace();
    const int c = Take();
    if (c == kEnd) return std::nullopt;
    return static_cast<char>(c);
}

std::optional<std::string> TextScanner::ReadRestOfLine(std::size_t maxKeep) {
    if (Peek() == kEnd) return std::nullopt;
    // Keep one character more than asked, so that a carriage return just before the line
    // break can be told apart from text that is cut.
    std::string line;
    std::size_t length = 0;
    bool endsInCarriageReturn = false;
    for (int c = Take(); c != kEnd && c != '\n'; c = Take()) {
        if (line.size() <= maxKeep) line.push_back(static_cast<char>(c));
        ++length;
        endsInCarriageReturn = c == '\r';
    }
    if (endsInCarriageReturn) --length;
    line.resize(std::min({line.size(), length, maxKeep}));
    return line;
}

} // namespace zorva
