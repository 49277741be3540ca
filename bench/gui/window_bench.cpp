// Speed of the window: start-up to shown, and one change of date through the whole cycle.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "bench_application.h"
#include "gui/image_view.h"
#include "gui/tzorvaform.h"

namespace {

void EnsureApplication() {
    zorva::bench::EnsureApplication<QApplication>();
}

// Answers nothing and shows no modal window, so start-up runs straight through.
class SilentDialogs final : public zorva::gui::Dialogs {
  public:
    zorva::gui::MessageResult Message(QWidget*, const QString&, const QString&,
                                      zorva::gui::MessageIcon,
                                      zorva::gui::MessageButtons) override {
        return zorva::gui::MessageResult::Ok;
    }
    QString OpenFile(QWidget*, const zorva::gui::FileDialogRequest&) override { return open; }
    QString SaveFile(QWidget*, const zorva::gui::FileDialogRequest&) override { return {}; }
    void ShowModal(QDialog&) override {}
    bool ChartOutput(QWidget*, const QString&, zorva::gui::ChartOutputOptions&) override {
        return false;
    }
    bool Print(QWidget*, QPrinter&) override { return false; }
    std::optional<int> AskInteger(QWidget*, const zorva::gui::IntegerRequest&) override {
        return std::nullopt;
    }
    QString open; // what the open dialogs choose
};

// A shown window over an empty folder, today fixed.
struct BenchWindow {
    SilentDialogs dialogs;
    zorva::gui::FixedClock clock{QDate(2026, 12, 7)};
    QTemporaryDir folder;
    std::unique_ptr<zorva::gui::TZorvaForm> form;
    BenchWindow() {
        EnsureApplication();
        form = std::make_unique<zorva::gui::TZorvaForm>(dialogs, clock, folder.path());
        form->show();
        QCoreApplication::processEvents();
    }
};

void BM_StartUpToWindowShown(benchmark::State& state) {
    EnsureApplication();
    SilentDialogs dialogs;
    zorva::gui::FixedClock clock(QDate(2026, 12, 7));
    QTemporaryDir folder; // no settings, directory or year files
    for (auto _ : state) {
        zorva::gui::TZorvaForm form(dialogs, clock, folder.path());
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.session().Observing().observation().ephemeris);
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToWindowShown)->Unit(benchmark::kMillisecond)->Iterations(20);

// One date change: the picker's value moves a day and DatePickerChange runs the cycle,
// the chart repainted.
void BM_DateChangeWithChart(benchmark::State& state) {
    BenchWindow w;
    zorva::gui::TZorvaForm& form = *w.form;
    auto* picker = form.findChild<QDateEdit*>(QStringLiteral("DatePicker"));
    int step = 1;
    for (auto _ : state) {
        picker->setDate(picker->date().addDays(step));
        step = -step;
        benchmark::DoNotOptimize(form.session().Observing().observation().ephemeris);
    }
}

BENCHMARK(BM_DateChangeWithChart)->Unit(benchmark::kMicrosecond);

// A plain click on the chart: the coordinate boxes, the spot readouts and the redrawn chart.
void BM_PlainClickOnTheChart(benchmark::State& state) {
    BenchWindow w;
    zorva::gui::TZorvaForm& form = *w.form;
    int x = 200;
    for (auto _ : state) {
        form.ImageMouseDown(Qt::LeftButton, Qt::NoModifier, x, 300);
        x = x == 200 ? 320 : 200;
        benchmark::DoNotOptimize(form.session().spot());
    }
}
BENCHMARK(BM_PlainClickOnTheChart)->Unit(benchmark::kMicrosecond);

// The second shift-click of a separation: results, figure, spot in the middle, labels.
void SecondShiftClick(benchmark::State& state, bool greatCircle) {
    BenchWindow w;
    zorva::gui::TZorvaForm& form = *w.form;
    if (greatCircle) form.findChild<QAction*>(QStringLiteral("GreatCircle1"))->trigger();
    for (auto _ : state) {
        state.PauseTiming();
        form.ImageMouseDown(Qt::LeftButton, Qt::ShiftModifier, 150, 350);
        state.ResumeTiming();
        form.ImageMouseDown(Qt::LeftButton, Qt::ShiftModifier, 420, 180);
        benchmark::DoNotOptimize(form.session().separation());
    }
}

void BM_SecondShiftClickLongitudeArc(benchmark::State& state) {
    SecondShiftClick(state, false);
}
BENCHMARK(BM_SecondShiftClickLongitudeArc)->Unit(benchmark::kMicrosecond);

void BM_SecondShiftClickGreatCircle(benchmark::State& state) {
    SecondShiftClick(state, true);
}
BENCHMARK(BM_SecondShiftClickGreatCircle)->Unit(benchmark::kMicrosecond);

// A 4096 x 4096 picture of a bright disk with a spot, opened in the window.
void OpenA4096Picture(BenchWindow& w) {
    constexpr int kSide = 4096;
    QImage picture(kSide, kSide, QImage::Format_Grayscale8);
    picture.fill(0);
    {
        QPainter p(&picture);
        p.setBrush(QColor(200, 200, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(2047.6, 2048.2), 1620.4, 1620.4);
        // A spot where the clicks fall.
        p.setBrush(QColor(90, 90, 90));
        p.drawEllipse(QPointF(1800, 2100), 12, 12);
    }
    // The name gives the whole instant, so the window measures at once instead of asking.
    const QString path = w.folder.filePath(QStringLiteral("20230131_120000.png"));
    picture.save(path);
    w.dialogs.open = path;
    w.form->findChild<QAction*>(QStringLiteral("OpenImage1"))->trigger();
}

// A plain click on a 4096 x 4096 solar image shown in the window: the session locates the
// spot, and the image's picture is painted again at full resolution (the clean picture, the
// grid fitted to the disk, the spot) and handed to the zoomed view.
void BM_PlainClickOnA4096Image(benchmark::State& state) {
    BenchWindow w;
    OpenA4096Picture(w);
    auto* view = w.form->findChild<QWidget*>(QStringLiteral("Image1"));
    int x = 1800;
    for (auto _ : state) {
        w.form->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, x, 2100);
        x = x == 1800 ? 2300 : 1800;
        benchmark::DoNotOptimize(w.form->session().spot());
    }
    benchmark::DoNotOptimize(view);
}
BENCHMARK(BM_PlainClickOnA4096Image)->Unit(benchmark::kMillisecond);

// The first plain click on a picture just opened, on a spot: the search of the picture
// runs in the background, and the click measures the spot it falls on alone.
void BM_FirstPlainClickOnA4096Image(benchmark::State& state) {
    BenchWindow w;
    for (auto _ : state) {
        state.PauseTiming();
        OpenA4096Picture(w);
        state.ResumeTiming();
        w.form->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, 1800, 2100);
        benchmark::DoNotOptimize(w.form->session().spot());
    }
}
BENCHMARK(BM_FirstPlainClickOnA4096Image)->Unit(benchmark::kMillisecond);

// Zooming a 4096 x 4096 picture with its grid shown, a step in and a step out by turns
// from the fitted zoom: each step repaints the view at once, the picture scaled and the
// overlay drawn over it.
void BM_ZoomStepOnA4096Image(benchmark::State& state) {
    BenchWindow w;
    w.form->resize(1600, 1000);
    OpenA4096Picture(w);
    for (const char* grid : {"LatLines1", "LongLines1"})
        w.form->findChild<QAction*>(QLatin1String(grid))->trigger();
    QCoreApplication::processEvents();
    auto* view = w.form->findChild<zorva::gui::ImageView*>(QStringLiteral("Image1"));
    bool in = true;
    for (auto _ : state) {
        in ? view->zoomIn() : view->zoomOut();
        in = !in;
        view->viewport()->repaint();
    }
}
BENCHMARK(BM_ZoomStepOnA4096Image)->Unit(benchmark::kMillisecond);

} // namespace
