// zorva-cli logfile: a logfile as CSV or JSON.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "core/logfile/logfile.h"
#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

using test::RunCli;

// The sample line of the layout's own test, worked out by hand from the column rules.
const std::string kSample =
    "2005  5 12  9  3  7 2005.35993744  3.23457  18.12346  45.68 123.46 -34.57 -3.46 234.57 "
    "-21.23 31.705 2029 NE  150.000  -12.34   56.78   12.000  -15.4  123.5    346 2030  51.500 "
    "  -0.123   12.3  123457  -15  123    6    7";
// The same line's fields, as a spreadsheet row.
const std::string kSampleRow =
    "2005,5,12,9,3,7,2005.35993744,3.23457,18.12346,45.68,123.46,-34.57,-3.46,234.57,-21.23,"
    "31.705,2029,NE,150.000,-12.34,56.78,12.000,-15.4,123.5,346,2030,51.500,-0.123,12.3,123457,"
    "-15,123,6,7";

struct LogfileCommand : ::testing::Test {
    test::TempDir dir;
    std::string Write(const std::string& name, const std::string& text) {
        test::WriteFile(dir / name, text);
        return (dir / name).string();
    }
};

TEST_F(LogfileCommand, ConvertsEveryLineAndNamesTheOnesItSkips) {
    const std::string file = Write("log.txt", LogfileHeader() + "\n" + kSample + "\n" +
                                                  "2005  5 12 oops\n" + kSample + "\n");
    const test::CliResult csv = RunCli({"logfile", file});
    EXPECT_EQ(csv.status, 1);
    EXPECT_EQ(csv.err, "zorva-cli: " + file + " line 3: it has 4 fields, not 34; skipped\n");
    const std::string header = csv.out.substr(0, csv.out.find('\n'));
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 33);
    EXPECT_EQ(csv.out, header + "\n" + kSampleRow + "\n" + kSampleRow + "\n");

    const test::CliResult json = RunCli({"logfile", file, "--format", "json"});
    EXPECT_EQ(json.status, 1);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
    ASSERT_TRUE(doc.isArray());
    ASSERT_EQ(doc.array().size(), 2);
    const QJsonObject first = doc.array()[0].toObject();
    EXPECT_EQ(first.size(), 35); // the line number and 34 fields
    EXPECT_EQ(first["line"].toInt(), 2);
    EXPECT_EQ(doc.array()[1].toObject()["line"].toInt(), 4);
    EXPECT_EQ(first["x_mm"].toDouble(), -12.34);
    EXPECT_EQ(first["disk_orientation"].toString(), "NE");

    // A field holding a terminal's control sequence is named escaped, never acted on.
    std::string hostile = kSample;
    hostile.replace(hostile.find(" NE "), 4, " \x1b[2JNE ");
    const test::CliResult shown =
        RunCli({"logfile", Write("odd.txt", LogfileHeader() + "\n" + hostile + "\n")});
    EXPECT_EQ(shown.err.find('\x1b'), std::string::npos) << shown.err;
    EXPECT_NE(shown.err.find("\\x1b[2JNE"), std::string::npos) << shown.err;

    // A clean logfile converts with status 0.
    const std::string clean = Write("clean.txt", LogfileHeader() + "\n" + kSample + "\n");
    const test::CliResult ok = RunCli({"logfile", clean, "--format", "csv"});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.err, "");
}

TEST_F(LogfileCommand, WhatIsNoLogfileChangesNothingOnStandardOutput) {
    const std::string picture = Write("sun.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\r", 12));
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"logfile", picture},
         1,
         "zorva-cli: " + picture +
             " is not read as a logfile: it holds binary data, not lines "
             "of text\n"},
        {{"logfile", dir.path().string()}, 1, ""},
        {{"logfile", (dir / "none.txt").string()},
         1,
         "zorva-cli: " + (dir / "none.txt").string() +
             " is not read as a logfile: there is no such file\n"},
        {{"logfile", picture, "--format", "xml"},
         2,
         "zorva-cli: --format must be csv or json, not 'xml'\n"},
        {{"logfile"}, 2, ""},
    };
    for (const auto& c : cases) {
        const test::CliResult r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.out, "") << c.args.back();
        if (!c.err.empty()) {
            EXPECT_EQ(r.err, c.err);
        }
        EXPECT_FALSE(r.err.empty());
    }
}

} // namespace
} // namespace zorva::cli
