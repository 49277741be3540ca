// The program's own options file: read as it was written before, written so that it
// reads back the same, saved like the settings.
#include "core/settings/options_file.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "core/common/regular_file.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

TEST(OptionsFile, TextsAsTheyCome) {
    const struct {
        const char* text;
        OptionValues values;
        const char* error;
    } cases[] = {
        // As the file was written before: a heading, and "true" for a ticked item.
        {"[General]\nSubPixelLimb=true\n", {{"SubPixelLimb", "true"}}, ""},
        {"[General]\r\nSubPixelLimb = false \r\n", {{"SubPixelLimb", "false"}}, ""},
        {"; a comment\n\n# another\nA=1\n[Window]\nA=2\n", {{"A", "1"}, {"Window/A", "2"}}, ""},
        {"Note=\"a \\\"b\\\" \\\\ c \"\n", {{"Note", "a \"b\" \\ c "}}, ""},
        {"[General]\ngarbage\nA=x=y\n=z\n", {{"A", "x=y"}}, "line 2: no \"key=value\""},
        {"", {}, ""},
    };
    for (const auto& c : cases) {
        const OptionsLoad load = ReadOptionsText(c.text);
        EXPECT_EQ(load.values, c.values) << c.text;
        EXPECT_EQ(load.error, c.error) << c.text;
    }
}

TEST(OptionsFile, SavedValuesReadBackTheSame) {
    test::TempDir dir;
    const fs::path file = dir / std::string(kOptionsFileName);
    const OptionValues values{
        {"Blank", ""}, {"Edges", " padded\t"}, {"Marks", "a;b#c\"d\\e"}, {"SubPixelLimb", "true"}};
    const OptionsSave saved = SaveOptionsFile(file, values);
    ASSERT_TRUE(saved.ok) << saved.error;
    const OptionsLoad load = LoadOptionsFile(file);
    EXPECT_TRUE(load.read);
    EXPECT_EQ(load.values, values);
    EXPECT_EQ(load.error, "");

    // What cannot be stored in a line is refused, and the file stays as it was.
    const std::string before = test::ReadFile(file);
    for (const OptionValues& bad : {OptionValues{{"A", "two\nlines"}}, OptionValues{{"A=B", "x"}},
                                    OptionValues{{"", "x"}}, OptionValues{{"[A]", "x"}}}) {
        const OptionsSave refused = SaveOptionsFile(file, bad);
        EXPECT_FALSE(refused.ok);
        EXPECT_NE(refused.error.find("cannot be stored"), std::string::npos) << refused.error;
    }
    EXPECT_EQ(test::ReadFile(file), before);
}

TEST(OptionsFile, StoringKeepsOtherKeysAndLeavesAnUnreadableFileAlone) {
    test::TempDir dir;
    const fs::path file = dir / std::string(kOptionsFileName);
    // A missing file is made.
    ASSERT_TRUE(StoreOptions(file, {{"SubPixelLimb", "true"}}).ok);
    EXPECT_EQ(test::ReadFile(file), "[General]\nSubPixelLimb=true\n");
    test::WriteFile(file, "[General]\nOther=7\nSubPixelLimb=true\n");
    ASSERT_TRUE(StoreOptions(file, {{"SubPixelLimb", "false"}}).ok);
    EXPECT_EQ(test::ReadFile(file), "[General]\nOther=7\nSubPixelLimb=false\n");

    // Longer than any options file: not read, and so not replaced by what little is known.
    const std::string huge(kLargestTextFile + 1, 'x');
    test::WriteFile(file, huge);
    const OptionsSave refused = StoreOptions(file, {{"SubPixelLimb", "true"}});
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("longer than"), std::string::npos) << refused.error;
    EXPECT_EQ(fs::file_size(file), huge.size());
}

} // namespace
} // namespace zorva
