#pragma once

#include <QCoreApplication>
#include <fstream>
#include <string>

namespace zorva::bench {

// Fonts and widgets need an application object (QGuiApplication or QApplication); made
// once, without a display, and kept.
template <class Application> void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zorva_bench";
    static char* argv[] = {name, nullptr};
    new Application(argc, argv);
}

// Resident and peak resident memory of the process, bytes.
struct Resident {
    long long now = 0;
    long long peak = 0;
};
inline Resident ReadResident() {
    std::ifstream status("/proc/self/status");
    Resident r;
    for (std::string line; std::getline(status, line);) {
        const auto kib = [&line] { return std::stoll(line.substr(line.find(':') + 1)) * 1024; };
        if (line.rfind("VmRSS:", 0) == 0) r.now = kib();
        if (line.rfind("VmHWM:", 0) == 0) r.peak = kib();
    }
    return r;
}

} // namespace zorva::bench
