#pragma once

#include <string>
#include <string_view>

namespace zorva {

// Whether `text` is UTF-8 throughout: no stray continuation byte, no sequence cut short, no
// overlong form, surrogate or value past U+10FFFF.
bool IsUtf8(std::string_view text);

// `text` without the UTF-8 byte-order mark that some editors put before the first line.
std::string_view WithoutByteOrderMark(std::string_view text);

// A JSON string, quotes included, that is valid UTF-8 whatever `text` holds: quotes,
// backslashes and control characters are escaped (\", \\, \u001b), characters of valid
// UTF-8 stay as they are, and each byte that is not part of one becomes U+FFFD, the
// replacement character. A name that has to keep its exact bytes goes out beside it with
// PercentEncoded.
std::string JsonString(std::string_view text);

// The bytes of `text` in a reversible form of valid UTF-8: each byte that is not part of a
// UTF-8 character, and each "%", as "%" and two upper-case hexadecimal digits ("sun%FF.png");
// everything else as it is. Percent-decoding it gives the bytes back.
std::string PercentEncoded(std::string_view text);

// A text as it may be shown on a terminal: control characters, which a terminal would act
// on, as \t, \n, \r or \xNN (\x1b for escape, \u0085 for one of the controls U+0080 to
// U+009F), each byte that is not part of UTF-8 as \xNN, and a backslash as \\; everything
// else as it is. These are the escapes of the shell's $'...' quoting, so a file name
// shown this way can be typed back.
std::string TerminalText(std::string_view text);

} // namespace zorva
