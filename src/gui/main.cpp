#include <QApplication>
#include <QMessageBox>
#include <exception>

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

} // namespace

int main(int argc, char** argv) {
    ZorvaApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Zorva Viewer"));
    app.setApplicationDisplayName(QStringLiteral("Zorva Viewer"));
    zorva::gui::QtDialogs dialogs;
    zorva::gui::SystemClock clock;
    zorva::gui::TZorvaForm form(dialogs, clock);
    form.show();
    return app.exec();
}
