#include "cli/cli.h"

#include <QtGlobal>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <locale>
#include <map>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"

namespace zorva::cli {

namespace {

using Command = std::function<int(const std::vector<std::string>&, Context&, std::ostream&)>;

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"year", YearCommand},       {"at", AtCommand},           {"locate", LocateCommand},
        {"chart", ChartCommand},     {"regions", RegionsCommand}, {"limb", LimbCommand},
        {"overlay", OverlayCommand}, {"spots", SpotsCommand},     {"logfile", LogfileCommand},
        {"record", RecordCommand},
    };
    return commands;
}

bool AsksForHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// zorva-cli help [COMMAND]: the whole help, or one command's.
int HelpCommand(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() > 2) throw UsageError("usage: zorva-cli help [COMMAND]");
    if (args.size() == 1) {
        out << HelpText();
        return 0;
    }
    const CommandHelp* command = FindCommandHelp(args[1]);
    if (!command) throw UsageError("no command '" + args[1] + "'; " + UsageLine(""));
    out << HelpText(*command);
    return 0;
}

} // namespace

namespace {

int RunCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    if (args.empty()) throw UsageError(UsageLine(""));
    if (AsksForHelp(args[0])) return HelpCommand({"help"}, out);
    if (args[0] == "--version") {
        out << "zorva-cli " << Version() << "\n";
        return 0;
    }
    if (args[0] == "help") return HelpCommand(args, out);
    const auto it = Commands().find(args[0]);
    if (it == Commands().end())
        throw UsageError("unknown command '" + args[0] + "'; " + UsageLine(""));
    // COMMAND --help, wherever it stands among the arguments.
    if (std::any_of(args.begin() + 1, args.end(), AsksForHelp))
        return HelpCommand({"help", args[0]}, out);
    return it->second(args, run, out);
}

} // namespace

namespace {

// The command line's error stream carries its own messages alone: what Qt and the image
// libraries it drives would say there (a picture's decoder's warnings, the platform's
// start-up notes) is dropped while a command runs. A failure still comes back as the
// command's own message.
class OwnMessagesOnly {
  public:
    OwnMessagesOnly()
        : previous_(
              qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {})) {
    }
    ~OwnMessagesOnly() { qInstallMessageHandler(previous_); }
    OwnMessagesOnly(const OwnMessagesOnly&) = delete;
    OwnMessagesOnly& operator=(const OwnMessagesOnly&) = delete;

  private:
    QtMessageHandler previous_;
};

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const OwnMessagesOnly quiet;
    // Numbers go out as the C locale writes them, whatever locale the process is in.
    out.imbue(std::locale::classic());
    err.imbue(std::locale::classic());
    // Year files are looked for in the folder the command line is started in (none when
    // that folder is gone).
    std::error_code noFolder;
    std::filesystem::path folder = std::filesystem::current_path(noFolder);
    Context run(noFolder ? std::nullopt : std::optional<std::filesystem::path>(std::move(folder)));
    int status = 0;
    std::string failure;
    try {
        status = RunCommand(args, run, out);
    } catch (const UsageError& e) {
        failure = e.what();
        status = kUsageError;
    } catch (const std::exception& e) {
        failure = e.what();
        status = 1;
    }
    for (const std::string& warning : run.TakeWarnings())
        err << "zorva-cli: " << warning << "\n";
    if (!failure.empty()) err << "zorva-cli: " << failure << "\n";
    return status;
}

} // namespace zorva::cli
