#include "cli/cli.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <locale>
#include <map>
#include <unistd.h>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "core/common/regular_file.h"
#include "core/text/escape.h"

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
        if (args.size() > 1)
            throw UsageError("--version takes nothing after it, not '" + args[1] + "'");
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

namespace {
constexpr std::size_t kOutputBuffer = std::size_t{1} << 16;
} // namespace

DescriptorOutput::DescriptorOutput(int fd) : fd_(fd) {
    buffer_.resize(kOutputBuffer);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorOutput::~DescriptorOutput() {
    Drain();
}

bool DescriptorOutput::Drain() {
    const char* at = pbase();
    while (at < pptr() && error_ == 0) {
        const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            break;
        }
        at += n;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorOutput::sync() {
    return Drain() ? 0 : -1;
}

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
    // What could not be written is lost to whoever reads the output (a full disk): that is
    // a failure, whatever the command made of its work.
    out.flush();
    if (!out) {
        const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
        const int code = descriptor != nullptr ? descriptor->error() : 0;
        if (failure.empty()) status = 1;
        failure += (failure.empty() ? "" : "; ") + std::string("cannot write the output") +
                   (code != 0 ? std::string(": ") + SystemErrorText(code) : std::string());
    }
    for (const std::string& warning : run.TakeWarnings())
        err << "zorva-cli: " << TerminalText(warning) << "\n";
    if (!failure.empty()) err << "zorva-cli: " << TerminalText(failure) << "\n";
    return status;
}

} // namespace zorva::cli
