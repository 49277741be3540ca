#pragma once

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "gui/tzorvaform.h"
#include "scripted_dialogs.h"
#include "support/test_support.h"

namespace zorva::test {

// A main window over a folder of its own, with a fixed today and scripted dialogs.
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(QDate today) : clock(today) {}

    void Open() {
        form = std::make_unique<gui::TZorvaForm>(dialogs, clock,
                                                 QString::fromStdString(dir.path().string()));
    }
    void SetUp() override { Open(); }
    void Trigger(const char* name) {
        QAction* a = form->action(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Replaces a box's text keystroke by keystroke, as a user types it.
    void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    TempDir dir;
    ScriptedDialogs dialogs;
    gui::FixedClock clock;
    std::unique_ptr<gui::TZorvaForm> form;
};

} // namespace zorva::test
