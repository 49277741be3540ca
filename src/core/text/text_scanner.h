#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace zorva {

// Reads the settings and directory files the way text-stream extraction does: words
// separated by white space, single characters that skip leading white space, and the rest
// of a line. Whatever the input, it keeps at most the number of characters asked for and
// consumes the remainder, so an over-long word can neither overrun a holder nor spill into
// the next value.
class TextScanner {
  public:
    explicit TextScanner(std::istream& in) : buf_(in.rdbuf()) {}

    // Skips blanks, tabs and line breaks (a carriage return counts as white space).
    void SkipSpace();

    // The next white-space-delimited word, cut to `maxKeep` characters; nothing at the end.
    std::optional<std::string> ReadWord(std::size_t maxKeep);

    // The next character that is not white space; nothing at the end.
    std::optional<char> ReadChar();

    // The rest of the current line without its line break (and without the carriage return
    // of a CRLF ending), cut to `maxKeep` characters; nothing when the input is already at
    // its end.
    std::optional<std::string> ReadRestOfLine(std::size_t maxKeep);

    // The line (from 1) that the next character read belongs to, for error messages.
    std::size_t Line() const { return line_; }

  private:
    int Peek();
    int Take();

    std::streambuf* buf_;
    std::size_t line_ = 1;
};

bool IsStreamSpace(int c);

} // namespace zorva
