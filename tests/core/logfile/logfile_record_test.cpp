// Logfile lines read back, and their CSV and JSON conversions.
#include "core/logfile/logfile_record.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/logfile/logfile.h"
#include "core/text/format.h"

namespace zorva {
namespace {

// The sample line of the layout's own test, worked out by hand from the column rules.
const std::string kSample =
    "2005  5 12  9  3  7 2005.35993744  3.23457  18.12346  45.68 123.46 -34.57 -3.46 234.57 "
    "-21.23 31.705 2029 NE  150.000  -12.34   56.78   12.000  -15.4  123.5    346 2030  51.500 "
    "  -0.123   12.3  123457  -15  123    6    7";

// The words of a line, split apart without the reader.
std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::string Replaced(std::string line, const std::string& from, const std::string& to) {
    line.replace(line.find(from), from.size(), to);
    return line;
}

TEST(LogfileRecord, ALineReadsBackToItsFields) {
    const LogfileLineRead read = ReadLogfileLine(kSample);
    ASSERT_TRUE(read.record) << read.error;
    const LogfileRecord& r = *read.record;
    const std::vector<std::string> words = Words(kSample);
    EXPECT_EQ(std::vector<std::string>(r.fields.begin(), r.fields.end()), words);
    EXPECT_EQ(r.instant, (Instant{2005, 5, 12, 9, 3, 7}));
    EXPECT_EQ(r.Value(LogfileField::X), -12.34);
    EXPECT_EQ(r.Value(LogfileField::OLong), -0.123);
    EXPECT_EQ(r.Text(LogfileField::DO), "NE");
    EXPECT_FALSE(r.Value(LogfileField::DO));
    // A column filled with '*' (a value too wide for it) is kept, and has no value.
    const LogfileLineRead wide = ReadLogfileLine(Replaced(kSample, "   346", "******"));
    ASSERT_TRUE(wide.record) << wide.error;
    EXPECT_EQ(wide.record->Text(LogfileField::Area), "******");
    EXPECT_FALSE(wide.record->Value(LogfileField::Area));
    // The line the program writes reads back whole; a line of the layout's wider kind too.
    EXPECT_TRUE(ReadLogfileLine(Replaced(kSample, "   346", "1234567")).record);
}

TEST(LogfileRecord, ALineThatIsNoMeasurementSaysWhy) {
    const struct {
        std::string line;
        std::string error;
    } cases[] = {
        {kSample.substr(0, kSample.rfind(' ')), "it has 33 fields, not 34"},
        {kSample + " 8", "it has 35 fields, not 34"},
        {"", "it has 0 fields, not 34"},
        {Replaced(kSample, " 3.23457", " 3.2x457"), "field 8 (RA) \"3.2x457\" is not a number"},
        {Replaced(kSample, " 18.12346", " +18.12346"),
         "field 9 (Dec) \"+18.12346\" is not a number"},
        {Replaced(kSample, " 45.68", " 4.5e1"), "field 10 (Alt) \"4.5e1\" is not a number"},
        {Replaced(kSample, " 45.68", " 45."), "field 10 (Alt) \"45.\" is not a number"},
        {Replaced(kSample, " NE ", " XY "), "field 18 (DO) \"XY\" is not NE, NW, SE or SW"},
        {Replaced(kSample, "2005  5 12", "2005 13 12"), "its date and time 2005-13-12 9:3:7 is no "
                                                        "date and time"},
        {Replaced(kSample, "2005  5 12", "2005  2 29"), "its date and time 2005-2-29 9:3:7 is no "
                                                        "date and time"},
        {Replaced(kSample, " 9  3  7", "24  3  7"), "its date and time 2005-5-12 24:3:7 is no "
                                                    "date and time"},
        {Replaced(kSample, "2005  5", "****  5"), "its date and time \"****\" is not a whole "
                                                  "number"},
        {Replaced(kSample, " 9  3  7", " 9.5  3  7"), "its date and time \"9.5\" is not a whole "
                                                      "number"},
    };
    for (const auto& c : cases) {
        const LogfileLineRead read = ReadLogfileLine(c.line);
        EXPECT_FALSE(read.record) << c.line;
        EXPECT_EQ(read.error, c.error) << c.line;
    }
}

TEST(LogfileRecord, AFileIsReadLineByLine) {
    const std::string second = Replaced(kSample, " 9  3  7", "10  0  0");
    const LogfileRead read = ReadLogfileText(LogfileHeader() + "\n" + kSample + "\r\n\n" +
                                             "a note in between\n" + second); // no final break
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.lines.size(), 2u);
    EXPECT_EQ(read.lines[0].number, 2u);
    EXPECT_EQ(read.lines[0].text, kSample);
    EXPECT_EQ(read.lines[1].number, 5u);
    EXPECT_EQ(read.lines[1].record.instant.hour, 10);
    EXPECT_EQ(read.problems, std::vector<std::string>{"line 4: it has 4 fields, not 34"});

    // A logfile without its header, and an empty one, are logfiles; so is one an editor
    // began with a byte-order mark, which was once refused.
    EXPECT_EQ(ReadLogfileText(kSample + "\n").lines.size(), 1u);
    for (const std::string& first : {LogfileHeader(), kSample}) {
        const LogfileRead marked = ReadLogfileText("\xEF\xBB\xBF" + first + "\n" + kSample + "\n");
        EXPECT_TRUE(marked.ok) << marked.error;
        EXPECT_EQ(marked.lines.size(), first == kSample ? 2u : 1u);
    }
    EXPECT_TRUE(ReadLogfileText("").ok);
    // Anything else is none, and says what it is.
    const struct {
        std::string text;
        std::string error;
    } others[] = {
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
         "it holds binary data, not lines of text"},
        {"Dear observer,\n" + kSample + "\n",
         "its first line is neither the logfile's column header nor a measurement"},
        {":Product: 20110607SRS.txt\n", "its first line is neither the logfile's column header "
                                        "nor a measurement"},
    };
    for (const auto& o : others) {
        const LogfileRead r = ReadLogfileText(o.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, o.error);
        EXPECT_TRUE(r.lines.empty());
    }
}

TEST(LogfileRecord, CsvAndJsonKeepEveryFieldUnderAName) {
    std::set<std::string> names;
    for (const LogfileColumn& c : LogfileColumns)
        names.insert(std::string(c.name));
    EXPECT_EQ(names.size(), LogfileFieldCount); // the header's two "MM" are told apart
    EXPECT_EQ(LogfileCsvHeader().substr(0, 30), "year,month,day,hour,minute,sec");

    const std::string wide = Replaced(kSample, "   346", "******");
    const LogfileRead read = ReadLogfileText(LogfileHeader() + "\n" + wide + "\n");
    ASSERT_EQ(read.lines.size(), 1u);
    // CSV: the line's words, as written, with the column of '*' empty.
    std::string row;
    for (const std::string& w : Words(wide))
        row += (row.empty() ? "" : ",") + (w == "******" ? std::string() : w);
    EXPECT_EQ(LogfileCsv(read.lines), LogfileCsvHeader() + "\n" + row + "\n");
    // JSON: the line number, numbers as written (less leading zeros, which JSON refuses),
    // the code as a string, no value as null.
    const std::string json = LogfileJson(read.lines);
    const std::string head = "[\n  {\"line\": 2, \"year\": 2005, \"month\": 5, \"day\": 12,";
    EXPECT_EQ(json.substr(0, head.size()), head);
    for (const char* part :
         {"\"dec_deg\": 18.12346,", "\"disk_orientation\": \"NE\",", "\"area_millionths\": null,",
          "\"observer_long_deg\": -0.123,", "\"point2_long_deg\": 7}\n]\n"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part;
    }
    const LogfileRead zeros =
        ReadLogfileText(Replaced(kSample, "2005  5 12", "2005 05 012") + "\n");
    ASSERT_EQ(zeros.lines.size(), 1u);
    EXPECT_NE(LogfileJson(zeros.lines).find("\"month\": 5, \"day\": 12,"), std::string::npos);
    EXPECT_EQ(LogfileJson({}), "[]\n");

    // A field with a comma or a quote is quoted, its quotes doubled.
    EXPECT_EQ(CsvField("d060315.bmp"), "d060315.bmp");
    EXPECT_EQ(CsvField("sun, noon.png"), "\"sun, noon.png\"");
    EXPECT_EQ(CsvField("the \"best\" one"), "\"the \"\"best\"\" one\"");
}

} // namespace
} // namespace zorva
