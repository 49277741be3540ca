#pragma once

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

} // namespace zorva::test
