#include "cli/help.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

using test::RunCli;

std::vector<std::string> FirstWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        words.push_back(line.substr(0, line.find(' ')));
    return words;
}

// Every way of asking for help answers on standard output with status 0.
TEST(CliHelp, AnswersOnStandardOutput) {
    const std::vector<std::vector<std::string>> asks = {
        {"--help"},
        {"-h"},
        {"help"},
        {"help", "chart"},
        {"chart", "--help"},
        {"locate", "2026-01-01T00:00:00", "-h"},
        {"--version"},
    };
    for (const auto& args : asks) {
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_TRUE(r.err.empty()) << args[0];
        EXPECT_FALSE(r.out.empty()) << args[0];
    }
    EXPECT_EQ(RunCli({"--version"}).out, "zorva-cli " ZORVA_PROJECT_VERSION "\n");
    EXPECT_EQ(RunCli({"help", "chart"}).out, RunCli({"chart", "--help"}).out);
    for (const auto& wrong :
         std::vector<std::vector<std::string>>{{"help", "moon"}, {"help", "at", "year"}}) {
        const auto r = RunCli(wrong);
        EXPECT_EQ(r.status, kUsageError);
        EXPECT_TRUE(r.out.empty());
    }
}

// The full help lists every command with every option, each with a default or marked
// required, and every name a command prints.
TEST(CliHelp, ListsEveryCommandOptionAndOutput) {
    const std::string help = RunCli({"--help"}).out;
    ASSERT_GE(CommandHelps().size(), 5u);
    for (const CommandHelp& c : CommandHelps()) {
        EXPECT_NE(help.find("zorva-cli " + std::string(c.name) + " "), std::string::npos);
        const std::string own = RunCli({"help", std::string(c.name)}).out;
        EXPECT_NE(help.find(own), std::string::npos) << c.name;
        for (const OptionHelp& o : c.options) {
            EXPECT_NE(own.find("    " + std::string(o.option)), std::string::npos) << o.option;
            EXPECT_FALSE(o.fallback.empty()) << c.name << " " << o.option;
        }
        for (const OutputHelp& o : c.outputs) {
            EXPECT_NE(own.find("      " + std::string(o.name)), std::string::npos) << o.name;
        }
        // A wrong call points to this help.
        const auto wrong = RunCli({std::string(c.name)});
        EXPECT_EQ(wrong.status, kUsageError) << c.name;
        EXPECT_NE(wrong.err.find("zorva-cli help " + std::string(c.name)), std::string::npos);
    }
}

// The "Name value" names the commands print are the ones their help explains, in order.
TEST(CliHelp, DocumentsTheNamesTheCommandsPrint) {
    test::TempDir dir;
    test::ScopedCurrentDir here(dir.path());
    const std::vector<std::vector<std::string>> runs = {
        {"at", "2026-12-07T12:00:00"},
        {"locate", "2026-12-07T12:00:00", "--x", "10", "--y", "5"},
    };
    for (const auto& args : runs) {
        const auto r = RunCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> documented;
        for (const OutputHelp& o : FindCommandHelp(args[0])->outputs)
            documented.emplace_back(o.name);
        EXPECT_EQ(FirstWords(r.out), documented) << args[0];
    }
}

} // namespace
} // namespace zorva::cli
