// Text that leaves the program as JSON or for a terminal: always valid UTF-8, with nothing a
// terminal would act on.
#include "core/text/escape.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// Which byte sequences are UTF-8 follows the table of well-formed sequences of the Unicode
// Standard (chapter 3, table 3-7): lead bytes C2..F4, each with its own range of second
// bytes, so that overlong forms, surrogates and values past U+10FFFF are ill-formed.
TEST(Escape, JsonStringsAreUtf8AndKeepTheRestExactly) {
    const struct {
        std::string text;
        bool utf8;
        std::string json;
        std::string percent;
        std::string terminal;
    } cases[] = {
        {"plain.png", true, "\"plain.png\"", "plain.png", "plain.png"},
        {"h\xc3\xa9lio 100%", true, "\"h\xc3\xa9lio 100%\"", "h\xc3\xa9lio 100%25",
         "h\xc3\xa9lio 100%"},
        {"sun\xff\xfe.png", false, "\"sun\xef\xbf\xbd\xef\xbf\xbd.png\"", "sun%FF%FE.png",
         "sun\\xff\\xfe.png"},
        // Latin-1 "é", a lead byte without its continuation.
        {"h\xe9lio", false, "\"h\xef\xbf\xbdlio\"", "h%E9lio", "h\\xe9lio"},
        // Overlong "/", a surrogate, and the byte after the last code point.
        {"\xc0\xaf", false, "\"\xef\xbf\xbd\xef\xbf\xbd\"", "%C0%AF", "\\xc0\\xaf"},
        {"\xed\xa0\x80", false, "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"", "%ED%A0%80",
         "\\xed\\xa0\\x80"},
        {"\xf4\x8f\xbf\xbf", true, "\"\xf4\x8f\xbf\xbf\"", "\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},
        {"\xf4\x90\x80\x80", false, "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"",
         "%F4%90%80%80", "\\xf4\\x90\\x80\\x80"},
        // Controls, quotes and backslashes; U+0085 (next line) is a control too.
        {"a\x1b[31m\"b\\\n\t\x7f", true, "\"a\\u001b[31m\\\"b\\\\\\u000a\\u0009\\u007f\"",
         "a\x1b[31m\"b\\\n\t\x7f", "a\\x1b[31m\"b\\\\\\n\\t\\x7f"},
        {"x\xc2\x85y", true, "\"x\xc2\x85y\"", "x\xc2\x85y", "x\\u0085y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.terminal);
        EXPECT_EQ(IsUtf8(c.text), c.utf8);
        EXPECT_EQ(JsonString(c.text), c.json);
        EXPECT_EQ(PercentEncoded(c.text), c.percent);
        EXPECT_EQ(TerminalText(c.text), c.terminal);
        EXPECT_TRUE(IsUtf8(c.json) && IsUtf8(c.percent) && IsUtf8(c.terminal));
    }
}

} // namespace
} // namespace zorva
