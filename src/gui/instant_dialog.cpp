#include "gui/instant_dialog.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/session/carry.h"
#include "gui/pickers.h"

namespace zorva::gui {

InstantDialog::InstantDialog(QWidget* parent, const QString& question, const Instant& offered)
    : QDialog(parent) {
    setObjectName(QStringLiteral("InstantDialog"));
    setWindowTitle(QStringLiteral("Picture Instant"));
    auto* layout = new QVBoxLayout(this);
    auto* said = new QLabel(question, this);
    said->setObjectName(QStringLiteral("InstantQuestion"));
    said->setWordWrap(true);
    layout->addWidget(said);
    auto* asked = new QLabel(QStringLiteral("When was it taken? Nothing is measured on it until "
                                            "you say. A wrong hour turns every longitude by "
                                            "half a degree."),
                             this);
    asked->setWordWrap(true);
    layout->addWidget(asked);

    auto* row = new QHBoxLayout;
    field_ = new DateTimePickerEdit(this);
    field_->setObjectName(QStringLiteral("PictureInstantEdit"));
    field_->setTimeSpec(Qt::UTC);
    field_->setDisplayFormat(QStringLiteral("yyyy-MM-dd  HH:mm:ss"));
    field_->setCalendarPopup(true);
    field_->setMinimumDate(QDate(kFirstPickerYear, 1, 1));
    field_->setMaximumDate(QDate(kLastPickerYear, 12, 31));
    field_->setDateTime(QDateTime(QDate(offered.year, offered.month, offered.day),
                                  QTime(offered.hour, offered.minute, offered.second), Qt::UTC));
    row->addWidget(field_);
    row->addWidget(new QLabel(QStringLiteral("UT"), this));
    row->addStretch();
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("InstantButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    field_->setFocus();
}

Instant InstantDialog::Answer() const {
    const QDateTime t = field_->dateTime().toUTC();
    return {t.date().year(), t.date().month(),  t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}

} // namespace zorva::gui
