#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/context.h"
#include "core/chart/sunspot.h"

namespace zorva::cli {

// Each command takes the whole argument list (args[0] is its name) and what the run works
// with, and throws UsageError for a wrong argument.
int YearCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int AtCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int LocateCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int ChartCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int RegionsCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int LimbCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int OverlayCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int SpotsCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int LogfileCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
int RecordCommand(const std::vector<std::string>& args, Context& run, std::ostream& out);
// locate with --image: the spot readouts of a clicked pixel of a solar image.
int ImageLocateCommand(const ParsedArgs& parsed, Context& run, std::ostream& out);

// The spot size options --size and --grid into the spot state.
void ReadSpotSize(const ParsedArgs& parsed, SpotState& spot);
// The spot's readouts as "Name value" lines.
void WriteSpotReadouts(std::ostream& out, const SpotState& spot);

// Fonts and painting need a GUI application object; one is made on first use, without a
// display.
void EnsureGuiApplication();

} // namespace zorva::cli
