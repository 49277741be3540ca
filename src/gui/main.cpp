#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStringList>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "gui/clock.h"
#include "gui/dialogs.h"
#include "gui/tzorvaform.h"

namespace {

// Shows an exception that escapes an event handler and lets the program go on.
class ZorvaApplication final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, applicationDisplayName(), QString::fromUtf8(e.what()));
        }
        return false;
    }
};

// A logout or `kill` ends the program with SIGTERM or SIGHUP; it closes the main window
// as File > Exit does, so the settings are saved; one that cannot be saved is told on the
// error stream, as nobody is there to answer a message. The handler only writes a byte to a
// pipe (all a signal handler may safely do); the event loop reads it and closes the
// window. A signal that comes before the loop runs waits in the pipe.
int signalPipe[2] = {-1, -1};

void OnTerminate(int signal) {
    const char byte = static_cast<char>(signal);
    const int saved = errno;
    (void)!::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool CatchTermination() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 &&
           ::sigaction(SIGHUP, &action, nullptr) == 0;
}

// Closes whatever modal window is open (the welcome window, a dialog), then the main
// window once there is one; until then the request is kept.
class TerminationCloser {
  public:
    explicit TerminationCloser(QApplication& app)
        : notifier_(signalPipe[0], QSocketNotifier::Read, &app) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { Request(); });
    }

    void Watch(zorva::gui::TZorvaForm* window) {
        window_ = window;
        if (requested_) window_->CloseUnattended();
    }
    bool Requested() const { return requested_; }

  private:
    void Request() {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        requested_ = true;
        // A modal window runs a loop of its own; each one closed lets the next one out.
        for (int i = 0; i < kMostNestedModals; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->close()) break;
        }
        if (window_ != nullptr) window_->CloseUnattended();
    }

    static constexpr int kMostNestedModals = 8;
    QSocketNotifier notifier_;
    zorva::gui::TZorvaForm* window_ = nullptr;
    bool requested_ = false;
};

} // namespace

int main(int argc, char** argv) {
    const bool catching = CatchTermination();
    ZorvaApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Zorva Viewer"));
    app.setApplicationDisplayName(QStringLiteral("Zorva Viewer"));
    std::unique_ptr<TerminationCloser> closer;
    if (catching) closer = std::make_unique<TerminationCloser>(app);
    zorva::gui::QtDialogs dialogs;
    zorva::gui::SystemClock clock;
    // The settings, directory and year files live in the folder the program starts in.
    const QStringList arguments = app.arguments();
    zorva::gui::TZorvaForm form(dialogs, clock, QDir::currentPath(), arguments.size() > 1);
    if (closer) {
        // Asked to end while the welcome window was up: the window closes before it shows.
        closer->Watch(&form);
        if (closer->Requested()) return form.SavedOnClose() ? 0 : 1;
    }
    form.show();
    // `zorva FILE` opens the picture once the window is up, so a file that cannot be
    // read is told over the window, which then shows the chart.
    if (arguments.size() > 1) form.OpenPicturePath(arguments.at(1));
    const int status = app.exec();
    // A save that failed on the way out makes the ending a failure, however it was asked.
    return status != 0 || form.SavedOnClose() ? status : 1;
}
