// The chart on paper and in files, the readouts on the clipboard, and the instant set from
// the clock or stepped by the keys.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QStatusBar>

#include "core/chart/chart_caption.h"
#include "core/readouts/copy_readouts.h"
#include "gui/chart_file_choice.h"
#include "gui/image_view.h"
#include "gui/tzorvaform.h"
#include "render/chart_export.h"

namespace zorva::gui {

namespace {

const QString kPrintCaption = QStringLiteral("Print Chart");
const QString kExportCaption = QStringLiteral("Export Chart");
const QString kChartFilter =
    QStringLiteral("PDF document (*.pdf)|*.pdf|SVG drawing (*.svg)|*.svg|PNG image (*.png)|*.png");
constexpr int kStatusMessageMs = 5000;
// Paper sizes come in whole or half millimetres; a page that matches the chart fits.
constexpr double kFitToleranceMm = 0.05;

// The chart as the session last drew it, with the caption of the instant it shows.
ChartExport ChartForOutput(const Session& session, const ChartOutputOptions& options,
                           const QFont& font) {
    ChartExport chart;
    const ChartView view = PresentChartOutput(session);
    chart.Scene = view.scene;
    if (view.regions) {
        chart.Regions = *view.regions->regions;
        chart.Places = view.regions->places;
        chart.RegionStyle = RegionStyleOf(*view.regions);
    }
    chart.Style = options.printStyle ? ChartStyle::Print : ChartStyle::Screen;
    chart.LongitudeLabels = options.longitudeLabels;
    chart.Font = font;
    if (options.caption) {
        const Observation& obs = session.Observing().observation();
        chart.Caption =
            ChartCaptionLines(obs.instant, obs.ephemeris, obs.observer, session.Chart().geometry());
    }
    return chart;
}

struct StepItem {
    const char* name;
    const char* caption;
    StepUnit unit;
    int count;
    QKeyCombination key;
};
// Later is right and up, as a spun picker counts up.
const StepItem kStepItems[] = {
    {"NextMinute1", "Next &Minute", StepUnit::Minute, 1, Qt::ALT | Qt::Key_Right},
    {"PreviousMinute1", "Previous M&inute", StepUnit::Minute, -1, Qt::ALT | Qt::Key_Left},
    {"NextHour1", "Next &Hour", StepUnit::Hour, 1, Qt::CTRL | Qt::Key_Right},
    {"PreviousHour1", "Previous H&our", StepUnit::Hour, -1, Qt::CTRL | Qt::Key_Left},
    {"NextDay1", "Next &Day", StepUnit::Day, 1, Qt::CTRL | Qt::Key_Up},
    {"PreviousDay1", "Previous D&ay", StepUnit::Day, -1, Qt::CTRL | Qt::Key_Down},
};

QString Millimetres(double mm) {
    return QString::number(mm, 'f', 0);
}

} // namespace

// The Edit and Time menus. Their keys act in the whole window, except that an edit box or a
// picker with the focus keeps the keys it uses itself (the toolkit offers each key to it
// first): there Ctrl+C copies its selected text and Ctrl+Left and Ctrl+Right move its cursor
// by a word, so typing is never disturbed.
void TZorvaForm::BuildEditAndTimeMenus() {
    QMenu* edit = AddMenu(nullptr, "Edit1", "&Edit");
    AddItem(
        edit, "CopyReadouts1", "&Copy Readouts", [this] { CopyReadouts1Click(); }, false)
        ->setShortcut(QKeySequence(QKeySequence::Copy));
    edit->addSeparator();
    // An edit box with the focus keeps Ctrl+Z for its own text.
    AddItem(
        edit, "UndoMeasurement1", "&Undo Last Measurement", [this] { UndoMeasurement1Click(); },
        false)
        ->setShortcut(QKeySequence(QKeySequence::Undo));
    AddItem(
        edit, "Measurements1", "&Measurements...", [this] { Measurements1Click(); }, false);
    QMenu* time = AddMenu(nullptr, "Time1", "&Time");
    AddItem(
        time, "NowUT1", "&Now (UT)", [this] { NowUT1Click(); }, false)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    time->addSeparator();
    for (const StepItem& item : kStepItems) {
        const StepUnit unit = item.unit;
        const int count = item.count;
        AddItem(
            time, item.name, item.caption, [this, unit, count] { StepClick(unit, count); }, false)
            ->setShortcut(QKeySequence(item.key));
    }

    // The picture's zoom, from anywhere in the window.
    QMenu* view = AddMenu(nullptr, "View1", "&View");
    AddItem(
        view, "FitToWindow1", "&Fit to Window", [this] { Image1->fitToWindow(); }, false)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    AddItem(
        view, "ActualSize1", "&Actual Size", [this] { Image1->actualSize(); }, false)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    AddItem(
        view, "ZoomIn1", "Zoom &In", [this] { Image1->zoomIn(); }, false)
        ->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    AddItem(
        view, "ZoomOut1", "Zoom &Out", [this] { Image1->zoomOut(); }, false)
        ->setShortcut(QKeySequence::ZoomOut);
}

// --- The chart on paper and in files ---

void TZorvaForm::PrintChart1Click() {
    if (!dialogs_.ChartOutput(this, kPrintCaption, chartOutput_)) return;
    const ChartExport chart = ChartForOutput(session_, chartOutput_, labelFont_);
    // The whole sheet as the painter's page, at the printer's own resolution: the chart is
    // painted at true size, and nothing is scaled to fit the margins.
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(QStringLiteral("Heliographic chart"));
    if (!dialogs_.Print(this, printer)) return;

    const QSizeF needed = ChartPageSizeMm(chart);
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
    if (needed.width() > paper.width() + kFitToleranceMm ||
        needed.height() > paper.height() + kFitToleranceMm) {
        const QString text =
            QStringLiteral("The chart needs %1 by %2 mm and the paper is %3 by %4 mm: what lies "
                           "beyond the paper's edges will not be printed. Print it all the same?")
                .arg(Millimetres(needed.width()), Millimetres(needed.height()),
                     Millimetres(paper.width()), Millimetres(paper.height()));
        if (dialogs_.Message(this, text, kPrintCaption, MessageIcon::Warning,
                             MessageButtons::OkCancel) != MessageResult::Ok) {
            return;
        }
    }
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        PaintChartCentred(painter, printer.pageLayout().fullRectPixels(printer.resolution()),
                          printer.resolution(), chart);
        printed = painter.end();
    }
    if (!printed) {
        dialogs_.Message(this,
                         QStringLiteral("The chart could not be printed on %1.")
                             .arg(printer.printerName().isEmpty()
                                      ? QDir::toNativeSeparators(printer.outputFileName())
                                      : printer.printerName()),
                         kPrintCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Chart printed"), kStatusMessageMs);
}

void TZorvaForm::ExportChart1Click() {
    if (!dialogs_.ChartOutput(this, kExportCaption, chartOutput_)) return;
    const CalendarDate date = session_.Observing().Date();
    FileDialogRequest request;
    request.title = kExportCaption;
    request.filter = kChartFilter;
    request.fileName = QStringLiteral("chart-%1.pdf")
                           .arg(QDate(date.year, date.month, date.day).toString(Qt::ISODate));
    request.defaultSuffix = QStringLiteral("pdf");
    request.initialFolder = QString::fromStdString(session_.folders().SavedImageDir);
    request.confirmOverwrite = true;
    const std::optional<ChartFileChoice> chosen =
        ChooseChartFile(dialogs_, this, request,
                        QStringLiteral("A chart is exported as a PDF, SVG or PNG file: give the "
                                       "file name the extension .pdf, .svg or .png."),
                        kExportCaption, MessageIcon::Warning);
    if (!chosen) return;
    const QString& path = chosen->path;
    const ChartFileFormat format = chosen->format;
    const ChartExport chart = ChartForOutput(session_, chartOutput_, labelFont_);
    // The file is replaced whole or not at all: a failed export leaves the old one.
    std::string why;
    if (!SaveChartFile(path, ChartFileBytes(format, chart), &why)) {
        dialogs_.Message(this,
                         QStringLiteral("The chart could not be exported to %1: %2.")
                             .arg(QDir::toNativeSeparators(path), QString::fromStdString(why)),
                         kExportCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("Chart exported to %1").arg(QDir::toNativeSeparators(path)),
        kStatusMessageMs);
}

// --- The clipboard ---

void TZorvaForm::CopyReadouts1Click() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(CopyReadoutsText(
        session_.Observing().observation().instant, session_.Observing().observation().ephemeris,
        session_.options(), session_.spot())));
    statusBar()->showMessage(QStringLiteral("Readouts copied"), kStatusMessageMs);
}

// --- The instant from the clock and the step keys ---

void TZorvaForm::NowUT1Click() {
    const QDateTime now = clock_.NowUtc().toUTC();
    const QDate d = now.date();
    const QTime t = now.time();
    session_.Observing().SetInstant(
        {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
    Show();
}

void TZorvaForm::StepClick(StepUnit unit, int count) {
    session_.Observing().StepInstantBy(unit, count);
    Show();
}

} // namespace zorva::gui
