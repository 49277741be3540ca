#pragma once

#include <QCoreApplication>

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

} // namespace zorva::bench
