// The help's text: the usage line, a command's help, the whole help and the manual page,
// written from the commands' entries.
#include <algorithm>
#include <string>

#include "cli/help.h"

namespace zorva::cli {

namespace {

#ifndef ZORVA_VERSION
#define ZORVA_VERSION "unknown"
#endif

// The column where the meanings of options and outputs start, and the width of a line.
constexpr std::size_t kMeaningColumn = 28;
constexpr std::size_t kLineWidth = 79;

// `text` after `lead`, its words wrapped at the line width onto lines indented to `indent`.
std::string Wrapped(std::string lead, std::string_view text, std::size_t indent) {
    std::string out;
    std::string line = std::move(lead);
    bool first = true;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (!first && line.size() + 1 + word.size() > kLineWidth) {
            out += line + "\n";
            line = std::string(indent, ' ');
            first = true;
        }
        line += (first ? "" : " ") + std::string(word);
        first = false;
        at = end + 1;
    }
    return out + line + "\n";
}

// An option or output name, then its meaning from the meaning column (on the next line
// when the name reaches it).
std::string Entry(std::string_view name, std::string_view meaning) {
    std::string lead = "    " + std::string(name);
    std::string out;
    if (lead.size() + 1 < kMeaningColumn) {
        lead += std::string(kMeaningColumn - lead.size(), ' ');
    } else {
        out = lead + "\n";
        lead = std::string(kMeaningColumn, ' ');
    }
    return out + Wrapped(lead, meaning, kMeaningColumn);
}

std::string OptionLine(const OptionHelp& o) {
    const std::string tail =
        o.fallback == kRequired ? " (required)" : "; default " + std::string(o.fallback);
    return Entry(o.option, std::string(o.meaning) + tail);
}

// man(7) text: a backslash and a leading dot or quote would be read as markup, and a
// minus sign in an option must be "\-" to print as one.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

} // namespace

std::string UsageLine(std::string_view command) {
    const CommandHelp* c = FindCommandHelp(command);
    if (!c) {
        std::string names;
        for (const CommandHelp& each : CommandHelps()) {
            names += (names.empty() ? "" : ", ") + std::string(each.name);
        }
        return "usage: " + std::string(kProgram) +
               " COMMAND ARGUMENT [OPTION]..., COMMAND one of " + names +
               "; zorva-cli help tells more";
    }
    std::string line = "usage: " + std::string(kProgram) + " " + std::string(c->name) + " " +
                       std::string(c->arguments);
    bool optional = false;
    for (const OptionHelp& o : c->options) {
        if (o.fallback == kRequired) {
            line += " " + std::string(o.option);
        } else {
            optional = true;
        }
    }
    if (optional) line += " [OPTION]...";
    return line + "; zorva-cli help " + std::string(c->name) + " lists the options";
}

std::string HelpText(const CommandHelp& c) {
    std::string text = std::string(kProgram) + " " + std::string(c.name) + " " +
                       std::string(c.arguments) + (c.options.empty() ? "" : " [OPTION]...") + "\n" +
                       Wrapped("    ", c.summary, 4);
    for (const OptionHelp& o : c.options)
        text += OptionLine(o);
    text += Wrapped("    ", c.prints, 4);
    for (const OutputHelp& o : c.outputs)
        text += Entry("  " + std::string(o.name), o.unit);
    return text;
}

std::string HelpText() {
    std::string text =
        std::string(kProgram) + " " + std::string(Version()) +
        ": the Sun's ephemeris, sunspot positions and\n"
        "true-size charts of the solar observing program Zorva, without its window.\n"
        "\n"
        "usage: zorva-cli COMMAND ARGUMENT [OPTION]...\n"
        "       zorva-cli help [COMMAND]   this help, or one command's (also --help, -h)\n"
        "       zorva-cli --version        the version\n"
        "\n"
        "An INSTANT is Universal Time, written YYYY-MM-DDTHH:MM, YYYY-MM-DDTHH:MM:SS or\n"
        "YYYY-MM-DDTHH:MM:SS.s with any number of decimals, each with or without a final\n"
        "Z; a fraction of a second is rounded to the nearest whole second, a half\n"
        "upwards. The leap second 23:59:60 (and any fraction of it) is taken as 00:00:00\n"
        "of the next day, here as in a camera's time, a FITS header or a file name, with\n"
        "a note on standard error. Angles are degrees. A year file zorvadataYYYY.txt in the "
        "working\n"
        "folder takes precedence over the built-in tables; a damaged one is named on\n"
        "standard error with the line where reading stopped. Standard error carries the\n"
        "program's own messages only; a control character, a backslash or a byte that is\n"
        "not UTF-8 in them is written as in the shell's $'...' (\\n, \\\\, \\xff). Exit\n"
        "status: 0 done, 1 a file could not be read or written (standard output too),\n"
        "an image's disk not found or a point off the disk, 2 a wrong argument, an\n"
        "option given twice among them (one line on standard error).\n";
    for (const CommandHelp& c : CommandHelps())
        text += "\n" + HelpText(c);
    return text;
}

std::string_view Version() {
    return ZORVA_VERSION;
}

std::string ManPage() {
    std::string page =
        ".TH ZORVA\\-CLI 1 \"\" \"Zorva " + std::string(Version()) +
        "\" \"User Commands\"\n"
        ".SH NAME\n"
        "zorva\\-cli \\- the Sun's ephemeris, sunspot positions and true\\-size charts\n"
        ".SH SYNOPSIS\n"
        ".B zorva\\-cli\n"
        ".I command argument\n"
        "[\\fIoption\\fR]...\n"
        ".br\n"
        ".B zorva\\-cli help\n"
        "[\\fIcommand\\fR]\n"
        ".br\n"
        ".B zorva\\-cli \\-\\-version\n"
        ".SH DESCRIPTION\n"
        ".B zorva\\-cli\n"
        "is the core of the solar observing program Zorva without its window, for scripts and "
        "batch work. An \\fIINSTANT\\fR is Universal Time, written YYYY\\-MM\\-DDTHH:MM, "
        "YYYY\\-MM\\-DDTHH:MM:SS or YYYY\\-MM\\-DDTHH:MM:SS.s with any number of decimals, each "
        "with or without a final Z; a fraction of a second is rounded to the nearest whole "
        "second, a half upwards. The leap second 23:59:60 (and any fraction of it) is taken as "
        "00:00:00 of the next day, here as in a camera's time, a FITS header or a file name, "
        "with a note on standard error. Angles are degrees.\n"
        ".SH COMMANDS\n";
    for (const CommandHelp& c : CommandHelps()) {
        page += ".SS \"" + Roff(c.name) + " " + Roff(c.arguments) + "\"\n" + Roff(c.summary) + "\n";
        for (const OptionHelp& o : c.options) {
            page += ".TP\n.B " + Roff(o.option) + "\n" + Roff(o.meaning) +
                    (o.fallback == kRequired ? "; required.\n"
                                             : "; default " + Roff(o.fallback) + ".\n");
        }
        page += ".PP\n" + Roff(c.prints) + "\n";
        if (!c.outputs.empty()) page += ".RS\n";
        for (const OutputHelp& o : c.outputs) {
            page += ".TP\n.B " + Roff(o.name) + "\n" + Roff(o.unit) + "\n";
        }
        if (!c.outputs.empty()) page += ".RE\n";
    }
    page += ".SH FILES\n"
            ".TP\n.I zorvadataYYYY.txt\n"
            "A year file in the working folder: its daily table is used for that year "
            "instead of the built\\-in one.\n"
            ".SH EXIT STATUS\n"
            "0 when the command did its work; 1 when a file could not be read or written "
            "(standard output too), an "
            "image's disk could not be found or a point lies off the disk; 2 for a wrong "
            "argument (an option given twice among them), which is reported in one line on "
            "standard error.\n"
            ".SH EXAMPLES\n"
            ".nf\n"
            "zorva\\-cli at 2026\\-12\\-07T12:00:00 \\-\\-lat 51.5 \\-\\-long \\-0.1\n"
            "zorva\\-cli locate 2026\\-12\\-07T12:00:00 \\-\\-x 20 \\-\\-y \\-15 \\-\\-size 12\n"
            "zorva\\-cli chart 2026\\-12\\-07T12:00:00 \\-\\-out blank.pdf \\-\\-style print "
            "\\-\\-caption \\-\\-long\\-labels\n"
            ".fi\n";
    return page;
}

} // namespace zorva::cli
