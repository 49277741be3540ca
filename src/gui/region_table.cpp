#include "gui/region_table.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "core/srs/region_table_text.h"
#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

const QString kTitle = QStringLiteral("Region Table");

// Numbers line up on the right, words on the left.
constexpr std::array<bool, RegionTableHeadings.size()> kNumericColumn = {true,  false, true, true,
                                                                         false, true,  true, false};

} // namespace

RegionTable::RegionTable(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("RegionTable"));
    setWindowTitle(kTitle);
    grid_ = new QTableWidget(0, static_cast<int>(RegionTableHeadings.size()), this);
    grid_->setObjectName(QStringLiteral("RegionGrid"));
    QStringList headings;
    for (std::string_view h : RegionTableHeadings)
        headings << ToQString(h);
    grid_->setHorizontalHeaderLabels(headings);
    grid_->verticalHeader()->setVisible(false);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    wolf_ = new QLabel(this);
    wolf_->setObjectName(QStringLiteral("WolfNumberLabel"));
    wolf_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(wolf_);
    connect(grid_, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> items = grid_->selectedItems();
        const int row = items.isEmpty() ? -1 : items.front()->row();
        if (row == selected_) return;
        selected_ = row;
        emit RegionSelected(row);
    });
    Clear();
}

void RegionTable::SetRegions(std::span<const SrsRegion> regions, const QString& fileName,
                             const QString& note) {
    const bool hadSelection = selected_ != -1;
    {
        const QSignalBlocker block(grid_);
        grid_->clearContents();
        grid_->setRowCount(static_cast<int>(regions.size()));
        for (std::size_t row = 0; row < regions.size(); ++row) {
            const auto cells = RegionTableCells(regions[row]);
            for (std::size_t col = 0; col < cells.size(); ++col) {
                auto* item = new QTableWidgetItem(ToQString(cells[col]));
                item->setTextAlignment((kNumericColumn[col] ? Qt::AlignRight : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
                grid_->setItem(static_cast<int>(row), static_cast<int>(col), item);
            }
        }
        grid_->clearSelection();
        selected_ = -1;
    }
    grid_->resizeColumnsToContents();
    wolf_->setText(note.isEmpty() ? ToQString(WolfNumberText(regions)) : note);
    setWindowTitle(fileName.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + fileName);
    FitContent();
    if (hadSelection) emit RegionSelected(-1);
}

void RegionTable::FitContent() {
    const QHeaderView* header = grid_->horizontalHeader();
    // Room for a scroll bar each way, should the screen be too small for the whole.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int width = 2 * grid_->frameWidth() + scrollBar;
    for (int c = 0; c < grid_->columnCount(); ++c)
        width += std::max(static_cast<const QAbstractItemView*>(grid_)->sizeHintForColumn(c),
                          header->sectionSizeHint(c));
    int height = 2 * grid_->frameWidth() + header->sizeHint().height() + scrollBar;
    for (int r = 0; r < grid_->rowCount(); ++r)
        height += grid_->rowHeight(r);
    const QMargins m = layout()->contentsMargins();
    const QFontMetrics text(wolf_->font());
    width = std::max(width, text.horizontalAdvance(wolf_->text()) + 2 * wolf_->margin());
    height += layout()->spacing() + std::max(wolf_->heightForWidth(width), text.height());
    const QScreen* shown = screen();
    const QRect avail = shown ? shown->availableGeometry() : QRect(0, 0, width, height);
    constexpr double kShare = 0.9;
    resize(std::min(width + m.left() + m.right(), static_cast<int>(kShare * avail.width())),
           std::min(height + m.top() + m.bottom(), static_cast<int>(kShare * avail.height())));
}

int RegionTable::SelectedRegion() const {
    return selected_;
}

} // namespace zorva::gui
