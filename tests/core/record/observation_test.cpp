#include <gtest/gtest.h>
#include <string>

#include "core/record/observation.h"
#include "core/text/json.h"

namespace zorva {
namespace {

const CalendarDay kToday{2024, 5, 10};

// A visual observation of 2024-05-10 with 3 groups and 12 spots in the north, 2 and 5 in
// the south.
SunspotObservation Typed() {
    SunspotObservation o;
    o.instant = {2024, 5, 10, 9, 30, 0};
    o.observer = "ABC";
    o.seeing = 2;
    o.north = {3, 12};
    o.south = {2, 5};
    return o;
}

ObservedGroup Group(int32_t number, bool north, int32_t spots) {
    ObservedGroup g;
    g.number = number;
    g.north = north;
    g.spots = spots;
    return g;
}

// Each case changes one thing of a good observation; the message names what is wrong.
TEST(SunspotObservation, CountsThatCannotBeAreRefused) {
    struct Case {
        const char* what;
        void (*change)(SunspotObservation&);
        const char* message; // a part of it; empty for an observation that can be kept
    };
    const Case cases[] = {
        {"as it is", [](SunspotObservation&) {}, ""},
        {"a spotless day", [](SunspotObservation& o) { o.north = o.south = {}; }, ""},
        {"observed today, late", [](SunspotObservation& o) { o.instant.hour = 23; }, ""},
        {"R typed right", [](SunspotObservation& o) { o.statedWolf = 10 * 5 + 17; }, ""},
        {"fewer spots than groups",
         [](SunspotObservation& o) {
             o.north = {3, 2};
         },
         "fewer spots"},
        {"spots without a group",
         [](SunspotObservation& o) {
             o.south = {0, 2};
         },
         "without a group"},
        {"a negative count",
         [](SunspotObservation& o) {
             o.south = {-1, 5};
         },
         "negative"},
        {"R typed wrong", [](SunspotObservation& o) { o.statedWolf = 68; },
         "given, 68, is not 10 g"},
        {"southern R wrong", [](SunspotObservation& o) { o.statedWolfSouth = 24; }, "southern"},
        {"tomorrow", [](SunspotObservation& o) { o.instant.day = 11; }, "after today (2024-05-10)"},
        {"next year", [](SunspotObservation& o) { o.instant.year = 2025; }, "after today"},
        {"30 February", [](SunspotObservation& o) { o.instant = {2024, 2, 30, 9, 0, 0}; },
         "not a time"},
        {"hour 24", [](SunspotObservation& o) { o.instant.hour = 24; }, "not a time"},
        {"seeing 0", [](SunspotObservation& o) { o.seeing = 0; }, "seeing 0"},
        {"seeing 6", [](SunspotObservation& o) { o.seeing = 6; }, "seeing 6"},
        {"a line break in the code", [](SunspotObservation& o) { o.observer = "A\nB"; }, "control"},
        {"a picture without its name",
         [](SunspotObservation& o) { o.method = ObservationMethod::Picture; }, "picture's name"},
        {"groups listed as counted",
         [](SunspotObservation& o) {
             o.groups = {Group(1, true, 10), Group(2, true, 1), Group(3, true, 1),
                         Group(4, false, 4), Group(5, false, 1)};
         },
         ""},
        {"groups listed short",
         [](SunspotObservation& o) {
             o.groups = {Group(1, true, 12), Group(2, false, 5)};
         },
         "are not the counts given"},
        {"a group without spots",
         [](SunspotObservation& o) {
             o.groups = {Group(1, true, 12), Group(2, true, 0), Group(3, true, 0),
                         Group(4, false, 4), Group(5, false, 1)};
         },
         "group 2 has no spot"},
        {"a group in the wrong hemisphere",
         [](SunspotObservation& o) {
             o.north = {1, 1};
             o.south = {};
             o.groups = {Group(1, true, 1)};
             o.groups[0].latitude = -12;
         },
         "other hemisphere"},
        {"a class that is none",
         [](SunspotObservation& o) {
             o.north = {1, 1};
             o.south = {};
             o.groups = {Group(1, true, 1)};
             o.groups[0].mcintosh = "Xyz";
         },
         "no McIntosh class"},
        {"two groups of one number",
         [](SunspotObservation& o) {
             o.north = {2, 2};
             o.south = {};
             o.groups = {Group(1, true, 1), Group(1, true, 1)};
         },
         "two groups are numbered 1"},
    };
    for (const Case& c : cases) {
        SunspotObservation o = Typed();
        c.change(o);
        const std::string problem = ObservationProblem(o, kToday);
        if (std::string(c.message).empty()) {
            EXPECT_EQ(problem, "") << c.what;
        } else {
            EXPECT_NE(problem.find(c.message), std::string::npos) << c.what << ": " << problem;
        }
    }
}

TEST(SunspotObservation, DaysInstantsAndMethodsReadBack) {
    EXPECT_EQ(DayText({2011, 11, 2}), "2011-11-02");
    EXPECT_EQ(ParseDayText("2011-11-02"), (CalendarDay{2011, 11, 2}));
    for (const char* bad : {"2011-11-31", "2011-13-01", "2011-1-02", "2011-11-02x", "+011-11-02"})
        EXPECT_FALSE(ParseDayText(bad)) << bad;
    EXPECT_EQ(ParseIsoInstant("2005-01-11T23:59:32Z"), (Instant{2005, 1, 11, 23, 59, 32}));
    for (const char* bad : {"2005-01-11T24:00:00Z", "2005-01-11 23:59:32Z", "2005-01-11T23:59:32"})
        EXPECT_FALSE(ParseIsoInstant(bad)) << bad;
    for (const auto m :
         {ObservationMethod::Picture, ObservationMethod::Drawing, ObservationMethod::Visual})
        EXPECT_EQ(MethodOfName(MethodName(m)), m);
    EXPECT_FALSE(MethodOfName("telepathy"));
}

// FNV-1a's published 64-bit test values (Fowler, Noll and Vo): "" hashes to the offset basis,
// "a" to af63dc4c8601ec8c, "foobar" to 85944171f73967e8.
TEST(SunspotObservation, PictureFingerprintsAreFnv1a) {
    EXPECT_EQ(PictureFingerprint(""), "fnv1a64:cbf29ce484222325:0");
    EXPECT_EQ(PictureFingerprint("a"), "fnv1a64:af63dc4c8601ec8c:1");
    EXPECT_EQ(PictureFingerprint("foobar"), "fnv1a64:85944171f73967e8:6");
}

// JSON as RFC 8259 has it: what it allows is read, what it does not is refused with where.
TEST(Json, ReadsWhatTheGrammarAllowsAndNothingElse) {
    const auto read =
        ReadJson(R"( {"a": [1, -2.5e1, true, null, 0.5], "b": "x\"\u00e9\ud83d\ude00"} )");
    ASSERT_TRUE(read.value) << read.error;
    const JsonValue* a = read.value->Member("a");
    ASSERT_TRUE(a && a->items.size() == 5);
    EXPECT_EQ(a->items[0].Whole(), 1);
    EXPECT_EQ(a->items[1].Whole(), -25);
    EXPECT_TRUE(a->items[2].boolean);
    EXPECT_TRUE(a->items[3].IsNull());
    EXPECT_FALSE(a->items[4].Whole());
    // U+00E9 and U+1F600 in UTF-8.
    EXPECT_EQ(read.value->Member("b")->text, "x\"\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(read.value->Member("c"), nullptr);
    for (const char* bad :
         {"",    "{",     "[1,]",      "{\"a\":1,}",  "01",          "1.",         "-",
          "1e",  "+1",    "nul",       "\"\\ud800\"", "\"\\udc00\"", "\"a\nb\"",   "\"\\x\"",
          "1 2", "1e999", "{\"a\" 1}", "{1:2}",       "[1 2]",       "\"\\u12g4\""}) {
        const auto r = ReadJson(bad);
        EXPECT_FALSE(r.value) << bad;
        EXPECT_NE(r.error.find("at character"), std::string::npos) << bad;
    }
    // Nesting stops at the limit rather than at the end of the stack.
    EXPECT_TRUE(ReadJson(std::string(64, '[') + std::string(64, ']')).value);
    EXPECT_FALSE(ReadJson(std::string(65, '[') + std::string(65, ']')).value);
    EXPECT_FALSE(ReadJson(std::string(100000, '[')).value);
}

} // namespace
} // namespace zorva
