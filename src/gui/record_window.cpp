// The record's window: observations, groups, the monthly report and the plots, read from
// the record whenever they are shown.
#include "gui/record_window.h"

#include "gui/chart_file_choice.h"

#include <QDateEdit>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/common/atomic_file.h"
#include "core/record/activity.h"
#include "core/record/record_tables.h"
#include "gui/dialogs.h"
#include "gui/record_part.h"
#include "gui/widget_text.h"
#include "render/record_plot.h"

namespace zorva::gui {

namespace {

const QString kTitle = QStringLiteral("Observer's Record");
constexpr int kWidth = 1200;
constexpr int kHeight = 760;
constexpr int kIdRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kPlotPoints = 10;
constexpr int kSmallestPlotWidth = 320;
constexpr int kSmallestPlotHeight = 260;

// A cell that sorts by its number, and a cell without one by its text, after the numbers.
class Cell final : public QTableWidgetItem {
  public:
    explicit Cell(const RecordCell& cell) : QTableWidgetItem(ToQString(cell.text)) {
        setData(kKeyRole, cell.key);
        setTextAlignment((std::isnan(cell.key) ? Qt::AlignLeft : Qt::AlignRight) |
                         Qt::AlignVCenter);
        setFlags(flags() & ~Qt::ItemIsEditable);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const double a = data(kKeyRole).toDouble();
        const double b = other.data(kKeyRole).toDouble();
        if (std::isnan(a) || std::isnan(b)) {
            // A cell without a number ("-": not known) comes after the numbers either way.
            const bool descending =
                tableWidget() &&
                tableWidget()->horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder;
            if (std::isnan(a) != std::isnan(b)) return std::isnan(b) != descending;
            return text() < other.text();
        }
        return a < b;
    }
};

QTableWidget* MakeGrid(const QString& name, QWidget* parent) {
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(name);
    grid->verticalHeader()->setVisible(false);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

// Fills a grid with a table, sorted as it was, and selects the row of `chosen`.
void Fill(QTableWidget* grid, const RecordTable& table, int64_t chosen) {
    const QSignalBlocker block(grid);
    const bool sorted = grid->isSortingEnabled();
    grid->setSortingEnabled(false);
    grid->clear();
    grid->setColumnCount(static_cast<int>(table.headings.size()));
    QStringList headings;
    for (const std::string& h : table.headings)
        headings << ToQString(h);
    grid->setHorizontalHeaderLabels(headings);
    grid->setRowCount(static_cast<int>(table.rows.size()));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.rows[r].cells.size(); ++c) {
            auto* item = new Cell(table.rows[r].cells[c]);
            item->setData(kIdRole, QVariant::fromValue<qlonglong>(table.rows[r].id));
            grid->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    grid->setSortingEnabled(sorted);
    // Rows as high as their text needs, so that a month or a group's life shows whole.
    constexpr int kRowPadding = 6;
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + kRowPadding);
    grid->resizeColumnsToContents();
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->data(kIdRole).toLongLong() == chosen) {
            grid->selectRow(r);
            grid->scrollToItem(grid->item(r, 0));
            break;
        }
    }
}

// The id of the row chosen; nothing when none is.
std::optional<int64_t> ChosenId(const QTableWidget* grid) {
    const QList<QTableWidgetItem*> items = grid->selectedItems();
    if (items.isEmpty()) return std::nullopt;
    return items.front()->data(kIdRole).toLongLong();
}

QFont PlotFont() {
    return QFont(QStringLiteral("DejaVu Sans"), kPlotPoints);
}

QPushButton* Button(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

PlotView::PlotView(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMinimumSize(kSmallestPlotWidth, kSmallestPlotHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PlotView::SetPainter(Painter paint) {
    paint_ = std::move(paint);
    update();
}

void PlotView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (paint_) paint_(p, QRectF(rect()));
}

RecordWindow::RecordWindow(RecordPart& record, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record), dialogs_(dialogs) {
    setObjectName(QStringLiteral("RecordWindow"));
    setWindowTitle(kTitle);
    // At its size, or nine tenths of a smaller screen.
    const QRect screen =
        parent ? parent->screen()->availableGeometry() : QRect(0, 0, kWidth, kHeight);
    constexpr double kShare = 0.9;
    resize(std::min(kWidth, static_cast<int>(kShare * screen.width())),
           std::min(kHeight, static_cast<int>(kShare * screen.height())));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("RecordTabs"));
    tabs_->addTab(BuildObservations(), QStringLiteral("Observations"));
    tabs_->addTab(BuildGroups(), QStringLiteral("Groups"));
    tabs_->addTab(BuildReport(), QStringLiteral("Monthly Report"));
    tabs_->addTab(BuildPlot(activityPlot_, QStringLiteral("ActivityPlot"),
                            QStringLiteral("ExportActivityButton"), [this] { ExportPlot(true); }),
                  QStringLiteral("Activity Curve"));
    tabs_->addTab(BuildPlot(butterflyPlot_, QStringLiteral("ButterflyPlot"),
                            QStringLiteral("ExportButterflyButton"), [this] { ExportPlot(false); }),
                  QStringLiteral("Butterfly Diagram"));
    fileLabel_ = new QLabel(this);
    fileLabel_->setObjectName(QStringLiteral("RecordFileLabel"));
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("RecordStatusLabel"));
    auto* close = Button(QStringLiteral("CloseRecordButton"), QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fileLabel_, 1);
    bottom->addWidget(statusLabel_);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(bottom);
}

QWidget* RecordWindow::BuildObservations() {
    auto* page = new QWidget(tabs_);
    observationGrid_ = MakeGrid(QStringLiteral("RecordObservationGrid"), page);
    observationGrid_->setSortingEnabled(true);
    observationGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    markDay_ = Button(QStringLiteral("MarkDayButton"),
                      QStringLiteral("Mark as the Day's Observation"), page);
    markDay_->setToolTip(QStringLiteral("The reports and plots take this observation for its day "
                                        "(else the one of the best seeing)"));
    connect(markDay_, &QPushButton::clicked, this, [this] { MarkDay(); });
    auto* row = new QHBoxLayout;
    row->addWidget(markDay_);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(observationGrid_, 1);
    layout->addLayout(row);
    return page;
}

QWidget* RecordWindow::BuildGroups() {
    // The lives above; below, the chosen one's days beside its area curve.
    auto* split = new QSplitter(Qt::Vertical, tabs_);
    split->setObjectName(QStringLiteral("GroupSplitter"));
    groupGrid_ = MakeGrid(QStringLiteral("RecordGroupGrid"), split);
    groupGrid_->setSortingEnabled(true);
    groupGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* below = new QSplitter(Qt::Horizontal, split);
    groupBelow_ = below;
    dayGrid_ = MakeGrid(QStringLiteral("RecordGroupDayGrid"), below);
    dayGrid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    dayGrid_->setToolTip(QStringLiteral("Double-click a class to correct it"));
    // Its columns as wide as their contents, which the curve beside it leaves room for.
    dayGrid_->horizontalHeader()->setStretchLastSection(false);
    areaPlot_ = new PlotView(QStringLiteral("GroupAreaPlot"), below);
    below->addWidget(dayGrid_);
    below->addWidget(areaPlot_);
    below->setStretchFactor(0, 1);
    below->setStretchFactor(1, 1);
    split->addWidget(groupGrid_);
    split->addWidget(below);
    // Shares of the room, scaled to the window's: the days and the curve side by side,
    // under the lives.
    constexpr int kLives = 2, kDays = 3, kHalf = 1;
    split->setSizes({kLives * kWidth, kDays * kWidth});
    below->setSizes({kHalf * kWidth, kHalf * kWidth});
    connect(groupGrid_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (const auto id = ChosenId(groupGrid_)) chosenGroup_ = *id;
        ShowGroupDays();
    });
    // Taken once the edit is over: the grid is filled again after it.
    connect(
        dayGrid_, &QTableWidget::cellChanged, this,
        [this](int row, int column) { ClassEdited(row, column); }, Qt::QueuedConnection);
    return split;
}

QWidget* RecordWindow::BuildReport() {
    auto* page = new QWidget(tabs_);
    month_ = new QDateEdit(page);
    month_->setObjectName(QStringLiteral("ReportMonthPicker"));
    month_->setDisplayFormat(QStringLiteral("yyyy-MM"));
    month_->setDateRange(QDate(kFirstSupportedYear, 1, 1), QDate(kLastSupportedYear, 12, 1));
    connect(month_, &QDateEdit::dateChanged, this, [this] {
        monthChosen_ = true;
        ShowReport();
    });
    reportGrid_ = MakeGrid(QStringLiteral("MonthlyReportGrid"), page);
    reportGrid_->setSortingEnabled(true);
    reportGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    summary_ = new QLabel(page);
    summary_->setObjectName(QStringLiteral("MonthlyReportSummary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* text =
        Button(QStringLiteral("ExportReportTextButton"), QStringLiteral("Export Text..."), page);
    auto* csv =
        Button(QStringLiteral("ExportReportCsvButton"), QStringLiteral("Export CSV..."), page);
    connect(text, &QPushButton::clicked, this, [this] { ExportReport(false); });
    connect(csv, &QPushButton::clicked, this, [this] { ExportReport(true); });
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Month (UT)"), page));
    top->addWidget(month_);
    top->addStretch(1);
    top->addWidget(text);
    top->addWidget(csv);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(reportGrid_, 1);
    layout->addWidget(summary_);
    return page;
}

QWidget* RecordWindow::BuildPlot(PlotView*& view, const QString& name, const QString& button,
                                 std::function<void()> exportPlot) {
    auto* page = new QWidget(tabs_);
    view = new PlotView(name, page);
    auto* out = Button(button, QStringLiteral("Export..."), page);
    out->setToolTip(QStringLiteral("As PNG, SVG or PDF, as zorva-cli record plot draws it"));
    connect(out, &QPushButton::clicked, this, std::move(exportPlot));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(out);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(view, 1);
    layout->addLayout(row);
    return page;
}

void RecordWindow::ShowView(RecordView view) {
    tabs_->setCurrentIndex(static_cast<int>(view));
    Refresh();
    show();
    raise();
    activateWindow();
}

void RecordWindow::Refresh() {
    observations_.clear();
    lives_.clear();
    const QString path = QString::fromStdString(record_.File().string());
    std::string error;
    Record* record = record_.Open(false, error);
    try {
        if (record) {
            observations_ = record->Observations();
            lives_ = record->Groups();
        }
    } catch (const std::exception& e) {
        error = e.what();
        observations_.clear();
        lives_.clear();
    }
    days_ = ObservationsOfTheDays(observations_);
    if (!error.empty()) {
        fileLabel_->setText(ToQString(error));
    } else if (!record) {
        fileLabel_->setText(
            QStringLiteral("%1: no record yet; the first observation added makes it").arg(path));
    } else {
        fileLabel_->setText(QStringLiteral("%1: %2 observations of %3 days, %4 groups followed")
                                .arg(path)
                                .arg(observations_.size())
                                .arg(days_.size())
                                .arg(lives_.size()));
    }
    if (!monthChosen_ && !observations_.empty()) {
        const Instant& last = observations_.back().instant;
        const QSignalBlocker block(month_);
        month_->setDate(QDate(last.year, last.month, 1));
    }
    ShowObservations();
    ShowGroups();
    ShowReport();
    ShowPlots();
}

void RecordWindow::ChooseMonth(int year, int month) {
    month_->setDate(QDate(year, month, 1));
}

void RecordWindow::ShowObservations() {
    const std::optional<int64_t> chosen = ChosenId(observationGrid_);
    Fill(observationGrid_, ObservationTable(observations_), chosen.value_or(0));
    markDay_->setEnabled(!observations_.empty());
}

void RecordWindow::ShowGroups() {
    Fill(groupGrid_, GroupLifeTable(lives_), chosenGroup_);
    ShowGroupDays();
}

void RecordWindow::ShowGroupDays() {
    const auto life = std::find_if(lives_.begin(), lives_.end(),
                                   [this](const GroupLife& l) { return l.id == chosenGroup_; });
    if (life == lives_.end()) {
        Fill(dayGrid_, GroupDayTable(GroupLife{}), -1);
        areaPlot_->SetPainter([](QPainter& p, const QRectF& area) {
            p.setFont(PlotFont());
            p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                       QStringLiteral("Choose a group to see its days and its area."));
        });
        return;
    }
    Fill(dayGrid_, GroupDayTable(*life), -1);
    // The days' columns whole, and the rest to the curve.
    constexpr int kSlack = 8;
    int days =
        2 * dayGrid_->frameWidth() + dayGrid_->verticalScrollBar()->sizeHint().width() + kSlack;
    for (int c = 0; c < dayGrid_->columnCount(); ++c)
        days += dayGrid_->columnWidth(c);
    const int room = groupBelow_->width() - groupBelow_->handleWidth();
    if (room > days + areaPlot_->minimumWidth()) groupBelow_->setSizes({days, room - days});
    // Only the class can be corrected.
    {
        const QSignalBlocker block(dayGrid_);
        for (int r = 0; r < dayGrid_->rowCount(); ++r) {
            QTableWidgetItem* item = dayGrid_->item(r, static_cast<int>(kGroupDayClassColumn));
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
    }
    const std::vector<GroupAreaPoint> curve = GroupAreaCurve(*life);
    if (curve.empty()) {
        areaPlot_->SetPainter([](QPainter& p, const QRectF& area) {
            p.setFont(PlotFont());
            p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                       QStringLiteral("No area is known of this group: counts typed at the "
                                      "eyepiece give none."));
        });
        return;
    }
    const QString title =
        QStringLiteral("Group %1%2: area against days since %3")
            .arg(life->id)
            .arg(life->noaa ? QStringLiteral(" (NOAA %1)").arg(*life->noaa) : QString())
            .arg(ToQString(DayText(DayOf(life->days.front().instant))));
    areaPlot_->SetPainter([curve, title](QPainter& p, const QRectF& area) {
        PaintGroupArea(p, area, curve, title, PlotFont());
    });
}

void RecordWindow::ShowReport() {
    const QDate m = month_->date();
    report_ = MakeMonthlyReport(observations_, m.year(), m.month());
    Fill(reportGrid_, MonthlyReportTable(report_), -1);
    summary_->setText(ToQString(MonthlyReportSummary(report_)).trimmed());
}

void RecordWindow::ShowPlots() {
    const ActivityCurve curve = MakeActivityCurve(days_);
    activityPlot_->SetPainter(
        [curve](QPainter& p, const QRectF& area) { PaintActivity(p, area, curve, PlotFont()); });
    const std::vector<ButterflyPoint> points = MakeButterfly(days_);
    butterflyPlot_->SetPainter(
        [points](QPainter& p, const QRectF& area) { PaintButterfly(p, area, points, PlotFont()); });
}

void RecordWindow::Say(const QString& text) {
    statusLabel_->setText(text);
}

void RecordWindow::MarkDay() {
    const std::optional<int64_t> id = ChosenId(observationGrid_);
    if (!id) {
        dialogs_.Message(this, QStringLiteral("Choose the observation that stands for its day."),
                         kTitle, MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    std::string error;
    Record* record = record_.Open(false, error);
    if (record) error = record->MarkDay(*id);
    if (!error.empty()) {
        dialogs_.Message(this, ToQString(error), kTitle, MessageIcon::Error, MessageButtons::Ok);
    } else {
        Say(QStringLiteral("Observation %1 stands for its day").arg(*id));
    }
    Refresh();
}

void RecordWindow::ClassEdited(int row, int column) {
    if (column != static_cast<int>(kGroupDayClassColumn)) return;
    const auto life = std::find_if(lives_.begin(), lives_.end(),
                                   [this](const GroupLife& l) { return l.id == chosenGroup_; });
    const auto index =
        static_cast<std::size_t>(dayGrid_->item(row, column)->data(kIdRole).toLongLong());
    if (life == lives_.end() || index >= life->days.size()) return;
    const GroupSightingDay& day = life->days[index];
    const std::string cls = dayGrid_->item(row, column)->text().trimmed().toStdString();
    if (cls == day.mcintosh) return;
    std::string error;
    Record* record = record_.Open(false, error);
    if (record) error = record->ReviewClass(day.observation, day.number, cls);
    if (!error.empty()) {
        dialogs_.Message(this,
                         QStringLiteral("The class was not changed: %1.").arg(ToQString(error)),
                         kTitle, MessageIcon::Warning, MessageButtons::Ok);
    } else {
        Say(QStringLiteral("Group %1 of observation %2 is now of class %3")
                .arg(day.number)
                .arg(day.observation)
                .arg(ToQString(cls)));
    }
    Refresh();
}

void RecordWindow::ExportReport(bool csv) {
    FileDialogRequest request;
    request.title = QStringLiteral("Export Monthly Report");
    request.filter = csv ? QStringLiteral("CSV files (*.csv)|*.csv")
                         : QStringLiteral("Text files (*.txt)|*.txt");
    request.defaultSuffix = csv ? QStringLiteral("csv") : QStringLiteral("txt");
    request.fileName = QStringLiteral("sunspots_%1-%2.%3")
                           .arg(report_.year)
                           .arg(report_.month, 2, 10, QLatin1Char('0'))
                           .arg(request.defaultSuffix);
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    // The very text and CSV of zorva-cli record report for the month.
    const std::string text = csv ? MonthlyReportCsv(report_) : MonthlyReportText(report_);
    std::string why;
    if (!WriteFileAtomically(QFile::encodeName(path).toStdString(), text, &why)) {
        dialogs_.Message(
            this, QStringLiteral("The report was not exported to %1: %2").arg(path, ToQString(why)),
            request.title, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    Say(QStringLiteral("Report exported to %1").arg(path));
}

void RecordWindow::ExportPlot(bool activity) {
    FileDialogRequest request;
    request.title = activity ? QStringLiteral("Export Activity Curve")
                             : QStringLiteral("Export Butterfly Diagram");
    request.filter = QStringLiteral("PNG pictures (*.png)|*.png|SVG drawings (*.svg)|*.svg|PDF "
                                    "documents (*.pdf)|*.pdf");
    request.defaultSuffix = QStringLiteral("png");
    request.fileName = activity ? QStringLiteral("activity.png") : QStringLiteral("butterfly.png");
    request.confirmOverwrite = true;
    const std::optional<ChartFileChoice> chosen = ChooseChartFile(
        dialogs_, this, request, QStringLiteral("%1: the name must end in .png, .svg or .pdf"),
        request.title, MessageIcon::Error);
    if (!chosen) return;
    const QString& path = chosen->path;
    const ChartFileFormat format = chosen->format;
    // Drawn at the size zorva-cli record plot draws, not the window's.
    QByteArray bytes;
    if (activity) {
        const ActivityCurve curve = MakeActivityCurve(days_);
        bytes = RecordPlotBytes(format, [&](QPainter& p, const QRectF& area) {
            PaintActivity(p, area, curve, PlotFont());
        });
    } else {
        const std::vector<ButterflyPoint> points = MakeButterfly(days_);
        bytes = RecordPlotBytes(format, [&](QPainter& p, const QRectF& area) {
            PaintButterfly(p, area, points, PlotFont());
        });
    }
    std::string why;
    if (!SaveChartFile(path, bytes, &why)) {
        dialogs_.Message(
            this, QStringLiteral("The plot was not exported to %1: %2").arg(path, ToQString(why)),
            request.title, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    Say(QStringLiteral("Plot exported to %1").arg(path));
}

} // namespace zorva::gui
