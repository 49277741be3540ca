#include "gui/sunspot_table.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

const QString kTitle = QStringLiteral("Sunspots");
constexpr int kWidth = 900;
constexpr int kHeight = 480;
constexpr int kIdRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;

// A cell that sorts by its number, and a cell without one by its text after every number.
class Cell final : public QTableWidgetItem {
  public:
    explicit Cell(const SpotTableCell& cell) : QTableWidgetItem(ToQString(cell.text)) {
        setData(kKeyRole, cell.key);
        setTextAlignment((std::isnan(cell.key) ? Qt::AlignLeft : Qt::AlignRight) |
                         Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const double a = data(kKeyRole).toDouble();
        const double b = other.data(kKeyRole).toDouble();
        if (std::isnan(a) || std::isnan(b)) {
            if (std::isnan(a) != std::isnan(b)) return std::isnan(b);
            return text() < other.text();
        }
        return a < b;
    }
};

QTableWidget* MakeGrid(const QString& name, std::span<const std::string_view> headings,
                       QWidget* parent) {
    auto* grid = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    grid->setObjectName(name);
    QStringList labels;
    for (std::string_view h : headings)
        labels << ToQString(h);
    grid->setHorizontalHeaderLabels(labels);
    grid->verticalHeader()->setVisible(false);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    // Ids ascending at first: groups east to west, spots group by group.
    grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
    return grid;
}

// Selects the row of an id (none for 0) without telling anyone: the state already holds it.
void SelectRow(QTableWidget* grid, int id) {
    const QSignalBlocker block(grid);
    grid->clearSelection();
    for (int r = 0; r < grid->rowCount() && id != 0; ++r) {
        if (grid->item(r, 0)->data(kIdRole).toInt() == id) {
            grid->selectRow(r);
            grid->scrollToItem(grid->item(r, 0));
        }
    }
}

void Fill(QTableWidget* grid, const std::vector<SpotTableRow>& rows, int chosen) {
    const QSignalBlocker block(grid);
    // Rows go in unsorted, and are sorted again by the column chosen once all are in.
    grid->setSortingEnabled(false);
    grid->clearContents();
    grid->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].cells.size(); ++c) {
            auto* item = new Cell(rows[r].cells[c]);
            item->setData(kIdRole, rows[r].id);
            grid->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    grid->setSortingEnabled(true);
    grid->resizeColumnsToContents();
    SelectRow(grid, chosen);
}

int ChosenId(const QTableWidget* grid) {
    const QList<QTableWidgetItem*> items = grid->selectedItems();
    return items.isEmpty() ? 0 : items.front()->data(kIdRole).toInt();
}

} // namespace

SunspotTable::SunspotTable(QAction* exportTable, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SunspotTable"));
    setWindowTitle(kTitle);
    resize(kWidth, kHeight);
    groups_ = MakeGrid(QStringLiteral("SpotGroupGrid"), SpotGroupHeadings, this);
    spots_ = MakeGrid(QStringLiteral("SpotGrid"), SpotHeadings, this);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(groups_);
    split->addWidget(spots_);
    unmatched_ = new QLabel(this);
    unmatched_->setObjectName(QStringLiteral("SpotMatchLabel"));
    unmatched_->setWordWrap(true);
    wolf_ = new QLabel(this);
    wolf_->setObjectName(QStringLiteral("SpotWolfLabel"));
    auto* button = new QToolButton(this);
    button->setDefaultAction(exportTable);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("SpotTableClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("SpotTableEscape"));
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(wolf_, 1);
    bottom->addWidget(button);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(unmatched_);
    layout->addLayout(bottom);
    // One row is chosen at a time, a group's or a spot's.
    connect(groups_, &QTableWidget::itemSelectionChanged, this, [this] {
        const int id = ChosenId(groups_);
        if (id != 0) {
            const QSignalBlocker block(spots_);
            spots_->clearSelection();
        }
        emit GroupSelected(id);
    });
    connect(spots_, &QTableWidget::itemSelectionChanged, this, [this] {
        const int id = ChosenId(spots_);
        if (id != 0) {
            const QSignalBlocker block(groups_);
            groups_->clearSelection();
        }
        emit SpotSelected(id);
    });
    SetTable(nullptr, QString());
}

void SunspotTable::Choose(int group, int spot) {
    SelectRow(groups_, group);
    SelectRow(spots_, spot);
}

void SunspotTable::SetTable(const SpotTable* table, const QString& title, int group, int spot) {
    Fill(groups_, table ? table->groups : std::vector<SpotTableRow>{}, group);
    Fill(spots_, table ? table->spots : std::vector<SpotTableRow>{}, spot);
    unmatched_->setText(table ? ToQString(table->unmatched) : QString());
    unmatched_->setVisible(table && !table->unmatched.empty());
    wolf_->setText(table ? ToQString(table->wolf)
                         : QStringLiteral("Detect Sunspots on a picture to list its spots."));
    setWindowTitle(title.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + title);
    FitContent();
}

void SunspotTable::FitContent() {
    // Wide enough for every column of either table, and tall enough for every row of both,
    // within nine tenths of the screen; never smaller than it opens, if the screen allows.
    const auto tableSize = [](const QTableWidget* grid) {
        int width = 2 * grid->frameWidth();
        for (int c = 0; c < grid->columnCount(); ++c)
            width += grid->columnWidth(c);
        int height = 2 * grid->frameWidth() + grid->horizontalHeader()->sizeHint().height();
        for (int r = 0; r < grid->rowCount(); ++r)
            height += grid->rowHeight(r);
        return QSize(width, height);
    };
    const QSize g = tableSize(groups_), s = tableSize(spots_);
    const QMargins m = layout()->contentsMargins();
    const int gap = layout()->spacing();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int below = layout()->itemAt(2)->sizeHint().height() + gap +
                      (unmatched_->isVisibleTo(this) ? unmatched_->sizeHint().height() + gap : 0);
    const int handle = style()->pixelMetric(QStyle::PM_SplitterWidth);
    const QSize wanted(std::max(g.width(), s.width()) + scrollBar + m.left() + m.right(),
                       g.height() + s.height() + handle + below + m.top() + m.bottom());
    const QScreen* shown = screen();
    const QRect avail = shown ? shown->availableGeometry() : QRect(0, 0, kWidth, kHeight);
    constexpr double kShare = 0.9;
    const int widest = static_cast<int>(kShare * avail.width());
    const int tallest = static_cast<int>(kShare * avail.height());
    resize(std::clamp(wanted.width(), std::min(kWidth, widest), widest),
           std::clamp(wanted.height(), std::min(kHeight, tallest), tallest));
}

} // namespace zorva::gui
