#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zorva::test {

// What one zorva-cli command gives: its status and both streams.
struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult RunCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

// A number as the command line writes it, with a point whatever the process's locale (the
// tests run under a German one); NaN unless the whole text is one.
inline double Number(const std::string& text) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() ? v : NAN;
}

// "Name value" lines into a map; a value in words is the rest of its line.
inline std::map<std::string, std::string> Fields(const std::string& text) {
    std::map<std::string, std::string> fields;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name, value;
        if (!(words >> name)) continue;
        words >> std::ws;
        std::getline(words, value);
        fields[name] = value;
    }
    return fields;
}

// The turns of an "Orientation north N east E" line, in degrees: "north" and "east".
inline std::map<std::string, double> OrientationOf(const std::string& text) {
    const std::size_t at = text.find("Orientation north ");
    std::istringstream w(text.substr(at == std::string::npos ? text.size() : at));
    std::string word, north, east;
    w >> word >> word >> north >> word >> east;
    return {{"north", Number(north)}, {"east", Number(east)}};
}

// How far apart two directions are, in degrees from 0 to 180.
inline double Apart(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360 - d);
}

} // namespace zorva::test
