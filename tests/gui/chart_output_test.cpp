// The chart on paper and in files, the readouts on the clipboard, the clock's now and the
// step keys, as the window runs them.
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTextDocument>
#include <QTimeEdit>

#include "gui/help_window.h"
#include "render/chart_measure.h"
#include "window_fixture.h"

namespace zorva {
namespace {

constexpr double kTrueSizeTolerance = 0.1; // mm

struct ChartOutput : test::WindowTest {
    ChartOutput() : WindowTest(QDate(2026, 12, 7)) {}
    QString Path(const std::string& name) const {
        return QString::fromStdString((dir / name).string());
    }
    QByteArray Bytes(const std::string& name) const {
        return QByteArray::fromStdString(test::ReadFile(dir / name));
    }
    // Shown and active, so that the menu keys reach the window.
    void Activate() {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
};

TEST_F(ChartOutput, ExportedPdfAndSvgHaveTheDiskAtTheChartDiameter) {
    dialogs.files = {Path("chart.pdf"), Path("chart.svg")};
    Trigger("ExportChart1");
    ASSERT_EQ(dialogs.chartOutputsOffered.size(), 1u);
    EXPECT_TRUE(dialogs.chartOutputsOffered[0].caption); // on by default
    const test::Box pdf = test::PdfDiskMm(Bytes("chart.pdf"));
    EXPECT_NEAR(pdf.Width(), 150, kTrueSizeTolerance);
    EXPECT_NEAR(pdf.Height(), 150, kTrueSizeTolerance);

    Trigger("N125mm");
    dialogs.chartOutputs = {gui::ChartOutputOptions{false, true, true}};
    Trigger("ExportChart1");
    const QByteArray svg = Bytes("chart.svg");
    EXPECT_NEAR(test::SvgDiskMm(svg), 125, kTrueSizeTolerance);
    // The caption names the instant the chart shows, today at noon.
    EXPECT_TRUE(svg.contains(">2026-12-07  12:00:00 UT</text>"));
    // The next export offers the choices made last.
    dialogs.chartOutputs = {std::nullopt};
    Trigger("ExportChart1");
    EXPECT_EQ(dialogs.chartOutputsOffered.back(), (gui::ChartOutputOptions{false, true, true}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ChartOutput, ExportFailuresAreNamedAndWriteNothing) {
    dialogs.files = {Path("chart.gif"), Path("no-such-folder/chart.pdf")};
    Trigger("ExportChart1");
    Trigger("ExportChart1");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(".pdf, .svg or .png"));
    EXPECT_TRUE(dialogs.messages[1].text.contains("could not be exported"));
    EXPECT_FALSE(std::filesystem::exists(dir / "chart.gif"));
    // Cancelling the choices asks for no file.
    dialogs.chartOutputs = {std::nullopt};
    Trigger("ExportChart1");
    EXPECT_EQ(dialogs.fileRequests.size(), 2u);
}

// The chart goes out with the regions it shows, and while a picture is shown as the chart of
// the picture's instant, with the regions it would show.
TEST_F(ChartOutput, ExportHoldsTheRegionsShownAndWorksOverAPicture) {
    ZORVA_TEST_DATA(data);
    dialogs.files = {QString::fromStdString((data / "srs" / "20111120SRS.txt").string())};
    Trigger("SolarRegionSummary1");
    dialogs.files = {
        QString::fromStdString((data / "images" / "20111120_0130_hmiigr_512.jpg").string())};
    Trigger("OpenImage1");
    ASSERT_TRUE(session().Picture().Shown());
    dialogs.files = {Path("picture-chart.svg")};
    Trigger("ExportChart1");
    const QByteArray svg = Bytes("picture-chart.svg");
    // Region 11354 (S17, Carrington 267) lies near the central meridian at the picture's
    // instant, whose L0 is 310 (NOAA's summary of 2011-11-20): it is drawn with its number.
    EXPECT_TRUE(svg.contains(">11354</text>"));
    EXPECT_TRUE(svg.contains(">2011-11-20  01:30:00 UT</text>"));
    EXPECT_NEAR(test::SvgDiskMm(svg), 150, kTrueSizeTolerance); // the chart's own diameter
    dialogs.printTo = Path("picture-printed.pdf");
    Trigger("PrintChart1");
    EXPECT_TRUE(std::filesystem::exists(dir / "picture-printed.pdf"));
    // Hidden regions are left out.
    Trigger("SolarRegionSummary1");
    dialogs.files = {Path("bare.svg")};
    Trigger("ExportChart1");
    EXPECT_FALSE(Bytes("bare.svg").contains(">11354</text>"));
}

// The printed page: A4, the disk at true size in the middle of the sheet.
TEST_F(ChartOutput, PrintedPageHasTheDiskAtTrueSize) {
    dialogs.printTo = Path("printed.pdf");
    Trigger("PrintChart1");
    const test::Box disk = test::PdfDiskMm(Bytes("printed.pdf"));
    EXPECT_NEAR(disk.Width(), 150, kTrueSizeTolerance);
    EXPECT_NEAR(disk.Height(), 150, kTrueSizeTolerance);
    EXPECT_NEAR((disk.left + disk.right) / 2, 210.0 / 2, 0.2); // A4 is 210 x 297 mm
    EXPECT_TRUE(dialogs.messages.empty());

    // The 150 mm chart is 187.5 mm wide: too wide for A5 (148 mm). Declining the warning
    // prints nothing.
    dialogs.printTo = Path("a5.pdf");
    dialogs.printPaper = QPageSize(QPageSize::A5);
    dialogs.answers = {gui::MessageResult::Cancel};
    Trigger("PrintChart1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("the paper is 148 by 210 mm"));
    EXPECT_FALSE(std::filesystem::exists(dir / "a5.pdf"));
}

TEST_F(ChartOutput, NowAndTheStepKeys) {
    Activate();
    clock.SetNowUtc(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 30), Qt::UTC));
    QTest::keyClick(form.get(), Qt::Key_F5);
    EXPECT_EQ(session().Observing().observation().instant, (Instant{2026, 12, 31, 23, 59, 30}));
    EXPECT_EQ(Find<QDateEdit>("DatePicker")->date(), QDate(2026, 12, 31));
    EXPECT_EQ(Find<QTimeEdit>("TimePicker")->time(), QTime(23, 59, 30));

    struct Step {
        Qt::KeyboardModifier modifier;
        Qt::Key key;
        Instant after;
    };
    for (const Step& s : {Step{Qt::AltModifier, Qt::Key_Right, {2027, 1, 1, 0, 0, 30}},
                          Step{Qt::ControlModifier, Qt::Key_Left, {2026, 12, 31, 23, 0, 30}},
                          Step{Qt::ControlModifier, Qt::Key_Up, {2027, 1, 1, 23, 0, 30}},
                          Step{Qt::ControlModifier, Qt::Key_Down, {2026, 12, 31, 23, 0, 30}},
                          Step{Qt::ControlModifier, Qt::Key_Right, {2027, 1, 1, 0, 0, 30}},
                          Step{Qt::AltModifier, Qt::Key_Left, {2026, 12, 31, 23, 59, 30}}}) {
        QTest::keyClick(form.get(), s.key, s.modifier);
        EXPECT_EQ(session().Observing().observation().instant, s.after);
    }
    EXPECT_EQ(Find<QDateEdit>("DatePicker")->date(), QDate(2026, 12, 31));

    // An edit box with the focus keeps Ctrl+Left for its cursor; Ctrl+Up is not its own.
    QLineEdit* box = Box("XCoordBox");
    box->setFocus();
    box->setText(QStringLiteral("12.5 3"));
    box->setCursorPosition(6);
    QTest::keyClick(box, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(box->cursorPosition(), 5);
    EXPECT_EQ(session().Observing().observation().instant, (Instant{2026, 12, 31, 23, 59, 30}));
    QTest::keyClick(box, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(session().Observing().Date(), (CalendarDate{2027, 1, 1}));
}

TEST_F(ChartOutput, CopyReadoutsOutsideAnEditBoxOnly) {
    Activate();
    Find<QWidget>("Image")->setFocus();
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 3); // header, values, and the empty rest after the last line feed
    const QStringList cells = lines[1].split('\t');
    ASSERT_EQ(cells.size(), 10);
    EXPECT_EQ(cells[0], "2026-12-07");
    EXPECT_EQ(cells[1], "12:00:00");
    EXPECT_EQ(cells[2] + "\u00B0", Text("B0Label").trimmed());
    EXPECT_EQ(cells[5], Text("CRLabel").trimmed());

    // With the focus in an edit box, Ctrl+C copies the box's selected text.
    QLineEdit* box = Box("ObserverLatBox");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "51.5");
}

// The Help window lies within the screen of the main window, so its Close button shows below
// a title bar on a screen of 720 lines: it opened 700 pixels tall whatever the screen.
TEST_F(ChartOutput, TheHelpWindowFitsTheScreen) {
    const gui::HelpWindow help(form.get());
    const QRect avail = form->screen()->availableGeometry();
    constexpr int kTitleBar = 40; // a generous title bar
    EXPECT_LE(help.height() + kTitleBar, avail.height());
    EXPECT_LE(help.width(), avail.width());
}

// The user guide names every menu and item as the menus show it, and every key they have.
TEST_F(ChartOutput, TheGuideNamesEveryCommandAndKey) {
    QTextDocument guide;
    guide.setHtml(gui::UserGuideHtml());
    const QString text = guide.toPlainText().simplified();
    const auto shown = [](const QAction* a) {
        QString t = a->text();
        t.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove('&').remove("...");
        return t.replace('\x01', '&').trimmed();
    };
    int items = 0;
    for (const QAction* menu : form->menuBar()->actions()) {
        EXPECT_TRUE(text.contains(shown(menu))) << shown(menu).toStdString();
        for (const QAction* a : menu->menu()->actions()) {
            if (a->isSeparator()) continue;
            ++items;
            EXPECT_TRUE(text.contains(shown(a))) << shown(a).toStdString();
            const QString key = a->shortcut().toString(QKeySequence::NativeText);
            EXPECT_TRUE(key.isEmpty() || text.contains(key)) << key.toStdString();
        }
    }
    EXPECT_GT(items, 60);
}

} // namespace
} // namespace zorva
