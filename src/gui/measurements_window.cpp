#include "gui/measurements_window.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

// Numbers line up on the right, words on the left.
constexpr std::array<bool, MeasurementHeadings.size()> kNumericColumn = {
    false, false, false, true, true, true, true, true, true, true};
constexpr int kWidth = 1000;
constexpr int kHeight = 320;

QToolButton* ButtonFor(QAction* action, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

MeasurementsWindow::MeasurementsWindow(QAction* undo, QAction* exportTable, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("MeasurementsWindow"));
    setWindowTitle(QStringLiteral("Measurements"));
    resize(kWidth, kHeight);
    grid_ = new QTableWidget(0, static_cast<int>(MeasurementHeadings.size()), this);
    grid_->setObjectName(QStringLiteral("MeasurementGrid"));
    QStringList headings;
    for (std::string_view h : MeasurementHeadings)
        headings << ToQString(h);
    grid_->setHorizontalHeaderLabels(headings);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setWordWrap(false);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("MeasurementsSummary"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(ButtonFor(undo, this));
    buttons->addWidget(ButtonFor(exportTable, this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
    connect(grid_, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> items = grid_->selectedItems();
        const int row = items.isEmpty() ? -1 : items.front()->row();
        if (row == selected_) return;
        selected_ = row;
        if (row >= 0) emit MeasurementSelected(row);
    });
    SetMeasurements({}, QString());
}

void MeasurementsWindow::SetMeasurements(std::span<const Measurement> rows,
                                         const QString& logfile) {
    int thisRun = 0;
    {
        const QSignalBlocker block(grid_);
        grid_->clearContents();
        grid_->setRowCount(static_cast<int>(rows.size()));
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const auto cells = MeasurementCells(rows[row]);
            const bool ours = rows[row].context.has_value();
            thisRun += ours ? 1 : 0;
            for (std::size_t col = 0; col < cells.size(); ++col) {
                auto* item = new QTableWidgetItem(ToQString(cells[col]));
                item->setTextAlignment((kNumericColumn[col] ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
                // The logfile's own line, whole, as a hint.
                item->setToolTip(ToQString(rows[row].line));
                if (ours) {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                }
                grid_->setItem(static_cast<int>(row), static_cast<int>(col), item);
            }
        }
        grid_->clearSelection();
        selected_ = -1;
    }
    grid_->resizeColumnsToContents();
    if (!rows.empty()) grid_->scrollToItem(grid_->item(static_cast<int>(rows.size()) - 1, 0));
    const int earlier = static_cast<int>(rows.size()) - thisRun;
    QString text = QStringLiteral("%1 logged in this run (in bold)").arg(thisRun);
    if (earlier > 0) text = QStringLiteral("%1 from the logfile, ").arg(earlier) + text;
    if (!logfile.isEmpty()) text += QStringLiteral("; logfile: ") + logfile;
    summary_->setText(text);
}

} // namespace zorva::gui
