#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zorva::cli {

// Each command takes the whole argument list (args[0] is its name) and throws
// UsageError for a wrong argument.
int YearCommand(const std::vector<std::string>& args, std::ostream& out);
int AtCommand(const std::vector<std::string>& args, std::ostream& out);
int LocateCommand(const std::vector<std::string>& args, std::ostream& out);
int ChartCommand(const std::vector<std::string>& args, std::ostream& out);
int RegionsCommand(const std::vector<std::string>& args, std::ostream& out);

} // namespace zorva::cli
