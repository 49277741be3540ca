#include "cli/cli.h"

#include <functional>
#include <map>

#include "cli/args.h"
#include "cli/commands.h"

namespace zorva::cli {

namespace {

const char* const kUsage =
    "usage: zorva-cli year YEAR [--accurate] | at YYYY-MM-DDTHH:MM:SS [--lat DEG] [--long DEG] | "
    "locate AT --x MM --y MM [chart options] | chart AT --out FILE [chart options] | "
    "regions FILE [--at AT] [chart options]";

using Command = std::function<int(const std::vector<std::string>&, std::ostream&)>;

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"year", YearCommand},   {"at", AtCommand},           {"locate", LocateCommand},
        {"chart", ChartCommand}, {"regions", RegionsCommand},
    };
    return commands;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError(kUsage);
        const auto it = Commands().find(args[0]);
        if (it == Commands().end())
            throw UsageError("unknown command '" + args[0] + "'; " + kUsage);
        return it->second(args, out);
    } catch (const UsageError& e) {
        err << "zorva-cli: " << e.what() << "\n";
        return kUsageError;
    } catch (const std::exception& e) {
        err << "zorva-cli: " << e.what() << "\n";
        return 1;
    }
}

} // namespace zorva::cli
