// The form of an observation going into the record: typed at the eyepiece, or a picture's.
#include "gui/record_dialogs.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/record/typed_entry.h"
#include "core/spots/spot_report.h"
#include "core/text/format.h"
#include "gui/dialogs.h"
#include "gui/pickers.h"
#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

// Far more than any hemisphere shows on a day; the record takes up to 100000.
constexpr int kMostInBox = 9999;
constexpr int kWidth = 640;
constexpr int kHeight = 620;
constexpr int kCountWidth = 90;

// The columns of the typed groups, and of a picture's.
const QStringList kTypedColumns = {QStringLiteral("Place (N, S, N14 or N14W23)"),
                                   QStringLiteral("Spots"), QStringLiteral("Class"),
                                   QStringLiteral("NOAA")};
const QStringList kPictureColumns = {QStringLiteral("Group"),      QStringLiteral("Lat"),
                                     QStringLiteral("Long"),       QStringLiteral("Spots"),
                                     QStringLiteral("Area (MSH)"), QStringLiteral("Class"),
                                     QStringLiteral("NOAA")};
constexpr int kPictureClassColumn = 5;

const QStringList kSeeing = {QStringLiteral("not given"), QStringLiteral("1 excellent"),
                             QStringLiteral("2 good"),    QStringLiteral("3 fair"),
                             QStringLiteral("4 poor"),    QStringLiteral("5 very poor")};

QString InstantText(const Instant& t) {
    return ToQString(IsoInstantText(t))
        .replace('T', ' ')
        .replace(QStringLiteral("Z"), QStringLiteral(" UT"));
}

QSpinBox* CountBox(const QString& name, int value, bool readOnly, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, kMostInBox);
    box->setValue(value);
    box->setReadOnly(readOnly);
    box->setFixedWidth(kCountWidth);
    if (readOnly) box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return box;
}

// A number that cannot be edited.
QTableWidgetItem* Fixed(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString Cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

ObservationDialog::ObservationDialog(QWidget* parent, Dialogs& dialogs, const Instant& instant,
                                     const ObservationDetails& details, const CalendarDay& today,
                                     std::function<double(const Instant&)> l0Of, Adder add)
    : QDialog(parent), dialogs_(dialogs), typed_(true), today_(today), l0Of_(std::move(l0Of)),
      add_(std::move(add)) {
    setObjectName(QStringLiteral("VisualObservationDialog"));
    setWindowTitle(QStringLiteral("Add Visual Observation"));
    Build(instant, details);
}

ObservationDialog::ObservationDialog(QWidget* parent, Dialogs& dialogs, SunspotObservation picture,
                                     const ObservationDetails& details, const CalendarDay& today,
                                     Adder add)
    : QDialog(parent), dialogs_(dialogs), typed_(false), picture_(std::move(picture)),
      today_(today), add_(std::move(add)) {
    setObjectName(QStringLiteral("PictureObservationDialog"));
    setWindowTitle(QStringLiteral("Add This Picture"));
    Build(picture_->instant, details);
}

void ObservationDialog::Build(const Instant& instant, const ObservationDetails& details) {
    resize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    if (typed_) {
        instant_ = new DateTimePickerEdit(this);
        instant_->setObjectName(QStringLiteral("ObservationInstant"));
        instant_->setTimeSpec(Qt::UTC);
        instant_->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        instant_->setDateTimeRange(
            QDateTime(QDate(kFirstSupportedYear, 1, 1), QTime(0, 0), Qt::UTC),
            QDateTime(QDate(kLastSupportedYear, 12, 31), QTime(23, 59, 59), Qt::UTC));
        instant_->setDateTime(QDateTime(QDate(instant.year, instant.month, instant.day),
                                        QTime(instant.hour, instant.minute, instant.second),
                                        Qt::UTC));
        form->addRow(QStringLiteral("Instant (UT)"), instant_);
        method_ = new QComboBox(this);
        method_->setObjectName(QStringLiteral("ObservationMethod"));
        method_->addItem(QStringLiteral("visual"));
        method_->addItem(QStringLiteral("drawing"));
        form->addRow(QStringLiteral("Method"), method_);
    } else {
        auto* picture = new QLabel(ToQString(picture_->picture), this);
        picture->setObjectName(QStringLiteral("ObservationPicture"));
        picture->setTextInteractionFlags(Qt::TextSelectableByMouse);
        picture->setWordWrap(true);
        form->addRow(QStringLiteral("Picture"), picture);
        auto* at = new QLabel(InstantText(instant), this);
        at->setObjectName(QStringLiteral("ObservationInstantLabel"));
        form->addRow(QStringLiteral("Instant (UT)"), at);
    }
    const auto line = [this, form](const char* name, const QString& label,
                                   const std::string& text) {
        auto* edit = new QLineEdit(ToQString(text), this);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(label, edit);
        return edit;
    };
    observer_ = line("ObserverCode", QStringLiteral("Observer code"), details.observer);
    site_ = line("ObservationSite", QStringLiteral("Site"), details.site);
    instrument_ = line("ObservationInstrument", QStringLiteral("Instrument"), details.instrument);
    seeing_ = new QComboBox(this);
    seeing_->setObjectName(QStringLiteral("ObservationSeeing"));
    seeing_->addItems(kSeeing);
    form->addRow(QStringLiteral("Seeing"), seeing_);

    auto* counts = new QGroupBox(QStringLiteral("Counts"), this);
    auto* grid = new QGridLayout(counts);
    grid->addWidget(new QLabel(QStringLiteral("Groups g"), counts), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Spots s"), counts), 0, 2);
    const HemisphereCount north = picture_ ? picture_->north : HemisphereCount{};
    const HemisphereCount south = picture_ ? picture_->south : HemisphereCount{};
    const bool fixed = !typed_;
    northGroups_ = CountBox(QStringLiteral("NorthGroups"), north.groups, fixed, counts);
    northSpots_ = CountBox(QStringLiteral("NorthSpots"), north.spots, fixed, counts);
    southGroups_ = CountBox(QStringLiteral("SouthGroups"), south.groups, fixed, counts);
    southSpots_ = CountBox(QStringLiteral("SouthSpots"), south.spots, fixed, counts);
    grid->addWidget(new QLabel(QStringLiteral("North"), counts), 1, 0);
    grid->addWidget(northGroups_, 1, 1);
    grid->addWidget(northSpots_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("South"), counts), 2, 0);
    grid->addWidget(southGroups_, 2, 1);
    grid->addWidget(southSpots_, 2, 2);
    if (typed_) {
        wolf_ = new QLineEdit(counts);
        wolf_->setObjectName(QStringLiteral("WolfBox"));
        wolf_->setPlaceholderText(QStringLiteral("optional"));
        wolf_->setFixedWidth(kCountWidth);
        wolf_->setToolTip(QStringLiteral("The R you worked out, checked against 10 g + s"));
        grid->addWidget(new QLabel(QStringLiteral("R as you worked it out"), counts), 3, 0);
        grid->addWidget(wolf_, 3, 1);
    }
    wolfLabel_ = new QLabel(counts);
    wolfLabel_->setObjectName(QStringLiteral("WolfLabel"));
    grid->addWidget(wolfLabel_, 4, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    layout->addWidget(counts);
    for (QSpinBox* box : {northGroups_, northSpots_, southGroups_, southSpots_})
        connect(box, &QSpinBox::valueChanged, this, [this] { ShowWolf(); });
    ShowWolf();

    BuildGroups();
    layout->addWidget(groups_->parentWidget(), 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ObservationButtons"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Add to Record"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ObservationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ObservationDialog::reject);
    layout->addWidget(buttons);
}

void ObservationDialog::BuildGroups() {
    auto* box = new QGroupBox(typed_ ? QStringLiteral("Groups (optional: their places, classes "
                                                      "and NOAA numbers)")
                                     : QStringLiteral("Groups (double-click a class to correct "
                                                      "it)"),
                              this);
    auto* layout = new QVBoxLayout(box);
    const QStringList& columns = typed_ ? kTypedColumns : kPictureColumns;
    groups_ = new QTableWidget(0, static_cast<int>(columns.size()), box);
    groups_->setObjectName(QStringLiteral("ObservationGroupGrid"));
    groups_->setHorizontalHeaderLabels(columns);
    groups_->verticalHeader()->setVisible(false);
    groups_->horizontalHeader()->setStretchLastSection(true);
    groups_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(groups_, 1);
    if (typed_) {
        auto* add = new QPushButton(QStringLiteral("Add Group"), box);
        add->setObjectName(QStringLiteral("AddGroupButton"));
        add->setAutoDefault(false);
        auto* remove = new QPushButton(QStringLiteral("Remove Group"), box);
        remove->setObjectName(QStringLiteral("RemoveGroupButton"));
        remove->setAutoDefault(false);
        connect(add, &QPushButton::clicked, this, [this] { AddGroupRow(); });
        connect(remove, &QPushButton::clicked, this, [this] {
            if (groups_->currentRow() >= 0) groups_->removeRow(groups_->currentRow());
        });
        auto* row = new QHBoxLayout;
        row->addWidget(add);
        row->addWidget(remove);
        row->addStretch(1);
        layout->addLayout(row);
        // Room for what is typed: "N14W23", up to 3 digits, "Dkc", a 5-digit number.
        constexpr int kPlaceWidth = 200, kNarrow = 80;
        groups_->setColumnWidth(0, kPlaceWidth);
        groups_->setColumnWidth(1, kNarrow);
        groups_->setColumnWidth(2, kNarrow);
        return;
    }
    groups_->setRowCount(static_cast<int>(picture_->groups.size()));
    const auto place = [](const std::optional<double>& v) {
        return v ? ToQString(FixedText(*v, 1)) : QStringLiteral("-");
    };
    for (int r = 0; r < groups_->rowCount(); ++r) {
        const ObservedGroup& g = picture_->groups[static_cast<std::size_t>(r)];
        groups_->setItem(r, 0, Fixed(QString::number(g.number)));
        groups_->setItem(r, 1, Fixed(place(g.latitude)));
        groups_->setItem(r, 2, Fixed(place(g.longitude)));
        groups_->setItem(r, 3, Fixed(QString::number(g.spots)));
        groups_->setItem(r, 4, Fixed(g.areaMsh ? ToQString(FixedText(*g.areaMsh, 0)) : "-"));
        groups_->setItem(r, kPictureClassColumn, new QTableWidgetItem(ToQString(g.mcintosh)));
        groups_->setItem(r, 6, Fixed(g.noaa ? QString::number(*g.noaa) : QString()));
    }
    groups_->resizeColumnsToContents();
}

void ObservationDialog::AddGroupRow() {
    const int r = groups_->rowCount();
    groups_->insertRow(r);
    for (int c = 0; c < groups_->columnCount(); ++c)
        groups_->setItem(r, c, new QTableWidgetItem);
    groups_->setCurrentCell(r, 0);
    groups_->editItem(groups_->item(r, 0));
}

void ObservationDialog::ShowWolf() {
    const HemisphereCount north{northGroups_->value(), northSpots_->value()};
    const HemisphereCount south{southGroups_->value(), southSpots_->value()};
    const int g = north.groups + south.groups, s = north.spots + south.spots;
    wolfLabel_->setText(QStringLiteral("R = 10 g + s = 10 \u00D7 %1 + %2 = %3 (north %4, south %5)")
                            .arg(g)
                            .arg(s)
                            .arg(north.Wolf() + south.Wolf())
                            .arg(north.Wolf())
                            .arg(south.Wolf()));
}

ObservationDetails ObservationDialog::Details() const {
    return {observer_->text().trimmed().toStdString(), site_->text().trimmed().toStdString(),
            instrument_->text().trimmed().toStdString()};
}

std::optional<SunspotObservation> ObservationDialog::Read(std::string& problem) const {
    const ObservationDetails details = Details();
    const std::optional<int32_t> seeing = seeing_->currentIndex() > 0
                                              ? std::optional<int32_t>(seeing_->currentIndex())
                                              : std::nullopt;
    if (typed_) {
        TypedCounts t;
        const QDateTime at = instant_->dateTime().toUTC();
        t.instant = {at.date().year(), at.date().month(),  at.date().day(),
                     at.time().hour(), at.time().minute(), at.time().second()};
        t.method =
            method_->currentIndex() == 1 ? ObservationMethod::Drawing : ObservationMethod::Visual;
        t.observer = details.observer;
        t.site = details.site;
        t.instrument = details.instrument;
        t.seeing = seeing;
        t.north = {northGroups_->value(), northSpots_->value()};
        t.south = {southGroups_->value(), southSpots_->value()};
        t.wolf = wolf_->text().toStdString();
        for (int r = 0; r < groups_->rowCount(); ++r) {
            t.groups.push_back(
                {Cell(groups_, r, 0).toStdString(), Cell(groups_, r, 1).toStdString(),
                 Cell(groups_, r, 2).toStdString(), Cell(groups_, r, 3).toStdString()});
        }
        TypedRead read = ReadTypedCounts(t, l0Of_ ? l0Of_(t.instant) : 0, today_);
        problem = read.problem;
        return read.observation;
    }
    SunspotObservation o = *picture_;
    o.observer = details.observer;
    o.site = details.site;
    o.instrument = details.instrument;
    o.seeing = seeing;
    for (int r = 0; r < groups_->rowCount(); ++r) {
        const ObservedGroup& found = picture_->groups[static_cast<std::size_t>(r)];
        const QString cls = Cell(groups_, r, kPictureClassColumn).trimmed();
        if (cls.toStdString() == found.mcintosh) continue;
        if (std::string why = ReviewGroupClass(o, found.number, cls.toStdString()); !why.empty()) {
            problem = "group " + std::to_string(found.number) + ": " + why;
            return std::nullopt;
        }
    }
    problem = ObservationProblem(o, today_);
    if (!problem.empty()) return std::nullopt;
    return o;
}

void ObservationDialog::Refuse(const std::string& problem) {
    dialogs_.Message(this,
                     QStringLiteral("Nothing was added to the record: %1.").arg(ToQString(problem)),
                     windowTitle(), MessageIcon::Warning, MessageButtons::Ok);
}

void ObservationDialog::accept() {
    std::string problem;
    std::optional<SunspotObservation> o = Read(problem);
    if (!o) {
        Refuse(problem);
        return;
    }
    if (std::string why = add_(*o); !why.empty()) {
        Refuse(why);
        return;
    }
    added_ = std::move(o);
    QDialog::accept();
}

} // namespace zorva::gui
