#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zorva::cli {

// Exit status for a wrong argument: one line on the error stream, nothing on the output.
inline constexpr int kUsageError = 2;

// Runs one zorva-cli command (args without the program name); returns the exit status.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zorva::cli
