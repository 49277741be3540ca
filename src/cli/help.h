#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zorva::cli {

inline constexpr std::string_view kProgram = "zorva-cli";
// The default of an option one must give.
inline constexpr std::string_view kRequired = "required";

// The help of zorva-cli, kept in one table: every command with its arguments, its options
// (each with its unit and default) and what it prints (each name with its unit). The
// usage lines of the commands, `zorva-cli help` and the man page are all made from it, so
// a new command adds its entry to the table in help.cpp and nothing else.

struct OptionHelp {
    std::string_view option;   // as typed, with its value: "--lat DEG", "--flip"
    std::string_view meaning;  // with the unit of the value
    std::string_view fallback; // the default as text; "required" for an option one must give
    bool repeatable = false;   // given once for each of several values (--group A --group B)
};

struct OutputHelp {
    std::string_view name; // the name or column printed
    std::string_view unit; // its unit and meaning
};

struct CommandHelp {
    std::string_view name;
    std::string_view arguments; // the positional arguments, as in the usage line
    std::string_view summary;
    std::span<const OptionHelp> options;
    std::string_view prints; // what the output is, before the list of names
    std::span<const OutputHelp> outputs;
};

// Every command, in the order the help lists them.
std::span<const CommandHelp> CommandHelps();
// The entry of a command, or nullptr.
const CommandHelp* FindCommandHelp(std::string_view name);

// "usage: zorva-cli NAME ARGUMENTS [OPTION]...": the one line a wrong argument shows; for
// a name that is no command, the usage of the program.
std::string UsageLine(std::string_view command);

// The whole help (every command), or one command's.
std::string HelpText();
std::string HelpText(const CommandHelp& command);

// The version of the program, from the build.
std::string_view Version();

// The manual page zorva-cli.1 in man(7) markup.
std::string ManPage();

} // namespace zorva::cli
