#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

#include "gui/tzorvaform.h"
#include "scripted_dialogs.h"
#include "support/test_support.h"

namespace zorva::test {

// A main window over a folder of its own, with a fixed today and scripted dialogs.
class WindowTest : public ::testing::Test {
  protected:
    explicit WindowTest(QDate today) : clock(today) {}

    void Open(bool fileGiven = false) {
        form = std::make_unique<gui::TZorvaForm>(
            dialogs, clock, QString::fromStdString(dir.path().string()), fileGiven);
    }
    void Close() {
        form->close();
        form.reset();
    }
    void SetUp() override { Open(); }

    // A widget or menu item of the window by its name; an unknown name fails the test.
    template <class T = QWidget> T* Find(const QString& name) const {
        T* found = form->findChild<T*>(name);
        if (found == nullptr) {
            ADD_FAILURE() << "the window has no " << name.toStdString();
            throw std::runtime_error("no such widget: " + name.toStdString());
        }
        return found;
    }
    QAction* Item(const QString& name) const { return Find<QAction>(name); }
    bool Checked(const QString& name) const { return Item(name)->isChecked(); }
    void Trigger(const QString& name) {
        QAction* a = Item(name);
        ASSERT_TRUE(a->isEnabled()) << name.toStdString();
        a->trigger();
    }
    QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(name); }
    QString Text(const QString& label) const { return Find<QLabel>(label)->text(); }
    // Replaces a box's text keystroke by keystroke, as a user types it.
    void Type(const QString& box, const QString& text) {
        QLineEdit* edit = Box(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    const Session& session() const { return form->session(); }

    TempDir dir;
    ScriptedDialogs dialogs;
    gui::FixedClock clock;
    std::unique_ptr<gui::TZorvaForm> form;
};

} // namespace zorva::test
