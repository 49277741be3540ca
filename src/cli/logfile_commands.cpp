// zorva-cli logfile: a fixed-column logfile as CSV or JSON.
#include <stdexcept>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "core/logfile/logfile_record.h"

namespace zorva::cli {

int LogfileCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("logfile"));
    const std::string format = parsed.Value("--format").value_or("csv");
    if (format != "csv" && format != "json") {
        throw UsageError("--format must be csv or json, not '" + format + "'");
    }
    const std::string& path = parsed.positional[0];
    const LogfileRead read = ReadLogfile(path);
    if (!read.ok) throw std::runtime_error(path + " is not read as a logfile: " + read.error);
    // The lines that are no measurements are named and passed over; the rest go out.
    for (const std::string& problem : read.problems)
        run.Warn(path + " " + problem + "; skipped");
    out << (format == "csv" ? LogfileCsv(read.lines) : LogfileJson(read.lines));
    return read.problems.empty() ? 0 : 1;
}

} // namespace zorva::cli
