#include <gtest/gtest.h>
#include <string>

#include "core/text/json.h"

namespace zorva {
namespace {

// RFC 8259's grammar, case by case: what it allows is read to the value it stands for,
// what it does not is refused with the line where reading stopped.
TEST(Json, ValuesAreReadAsTheGrammarHasThem) {
    const JsonParse p = ParseJson(" {\"a\": [1, -2.5e2, 0.125, true, false, null],\n"
                                  "  \"b\": \"q\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\", "
                                  "\"c\": {}} ");
    ASSERT_TRUE(p.value.has_value()) << p.error;
    const JsonValue* a = p.value->Find("a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->items.size(), 6u);
    EXPECT_EQ(a->items[1].number, -250);
    EXPECT_EQ(a->items[2].number, 0.125);
    EXPECT_TRUE(a->items[3].boolean);
    EXPECT_EQ(a->items[5].kind, JsonValue::Kind::Null);
    // U+00E9 and U+1F600 (a surrogate pair) in UTF-8.
    EXPECT_EQ(p.value->TextAt("b"), "q\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(p.value->Find("c")->kind, JsonValue::Kind::Object);
    EXPECT_EQ(p.value->IntegerAt("c", 0, 1), std::nullopt);

    struct Bad {
        const char* text;
        const char* error;
    };
    const Bad bad[] = {
        {"", "line 1: a value was expected"},
        {"{\"a\":1,}", "line 1: a name was expected"},
        {"[1 2]", "line 1: a comma or ] was expected"},
        {"01", "line 1: more follows the value"},
        {"1.", "line 1: a digit was expected after the point"},
        {"1e999", "line 1: a number out of range"},
        {"\"a\nb\"", "line 1: a control character in a string"},
        {"\"\\ud83d\"", "line 1: half a surrogate pair"},
        {"\"\\x\"", "line 1: an unknown escape in a string"},
        {"{\"a\":\n[", "line 2: a value was expected"},
        {"tru", "line 1: a value was expected"},
    };
    for (const Bad& b : bad) {
        const JsonParse r = ParseJson(b.text);
        EXPECT_FALSE(r.value.has_value()) << b.text;
        EXPECT_EQ(r.error, b.error) << b.text;
    }
    // Nesting past the limit is refused, not followed down the stack.
    EXPECT_FALSE(ParseJson(std::string(100, '['), 64).value.has_value());
    EXPECT_TRUE(ParseJson("[[[[]]]]", 4).value.has_value());
    EXPECT_FALSE(ParseJson("[[[[[]]]]]", 4).value.has_value());
}

// Quoting: what must be escaped is, valid UTF-8 passes, a stray byte becomes U+FFFD.
TEST(Json, StringsAreQuotedValidly) {
    EXPECT_EQ(JsonQuote("a\"b\\c\x01"), "\"a\\\"b\\\\c\\u0001\"");
    EXPECT_EQ(JsonQuote("\xC3\xA9\xF0\x9F\x98\x80"), "\"\xC3\xA9\xF0\x9F\x98\x80\"");
    EXPECT_EQ(JsonQuote("\xFF"
                        "a\xC3"),
              "\"\xEF\xBF\xBD"
              "a\xEF\xBF\xBD\"");
    // What is quoted reads back as itself.
    const std::string text = "line\nbreak \"quoted\" \xC3\xA9";
    EXPECT_EQ(ParseJson(JsonQuote(text)).value->text, text);
}

} // namespace
} // namespace zorva
