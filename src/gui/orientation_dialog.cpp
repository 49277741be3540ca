#include "gui/orientation_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zorva::gui {

namespace {

constexpr int kTurnDecimals = 1;
constexpr double kFullTurn = 360;

struct ModeItem {
    Orientation mode;
    const char* caption;
};
constexpr ModeItem kModes[] = {
    {Orientation::Equatorial, "Equatorial: celestial north"},
    {Orientation::RotationAxis, "Rotation axis: solar north"},
    {Orientation::AltAzimuth, "AltAzimuth: the zenith"},
};

} // namespace

OrientationDialog::OrientationDialog(QWidget* parent, const PictureTurn& start) : QDialog(parent) {
    setObjectName(QStringLiteral("OrientationDialog"));
    setWindowTitle(QStringLiteral("Orientation"));
    auto* layout = new QVBoxLayout(this);
    auto* said = new QLabel(QStringLiteral("Where north lies on the picture: the grid follows as "
                                           "you type."),
                            this);
    said->setWordWrap(true);
    layout->addWidget(said);

    auto* form = new QFormLayout;
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("OrientationModeBox"));
    for (const ModeItem& m : kModes) {
        mode_->addItem(QString::fromUtf8(m.caption), static_cast<int>(m.mode));
        if (m.mode == start.mode) mode_->setCurrentIndex(mode_->count() - 1);
    }
    form->addRow(QStringLiteral("&North of:"), mode_);

    turn_ = new QDoubleSpinBox(this);
    turn_->setObjectName(QStringLiteral("OrientationTurnBox"));
    turn_->setDecimals(kTurnDecimals);
    turn_->setRange(0, kFullTurn);
    turn_->setWrapping(true);
    turn_->setSuffix(QStringLiteral("\u00B0"));
    turn_->setValue(start.turn);
    turn_->setToolTip(QStringLiteral("Degrees counter-clockwise from the picture's up to that "
                                     "north: 0 is north up, 90 north to the left"));
    form->addRow(QStringLiteral("&Turn, counter-clockwise from up:"), turn_);

    // A picture's east lies a quarter turn counter-clockwise from north, as the sky is
    // seen, unless it is mirrored.
    mirror_ = new QCheckBox(QStringLiteral("&Mirrored: east clockwise from north (a projection "
                                           "screen seen from the front, a star diagonal)"),
                            this);
    mirror_->setObjectName(QStringLiteral("OrientationMirrorBox"));
    mirror_->setChecked(start.flip * start.mirror == 1);
    form->addRow(mirror_);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("OrientationButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const auto tell = [this] { emit changed(Turn()); };
    connect(mode_, &QComboBox::currentIndexChanged, this, tell);
    connect(turn_, &QDoubleSpinBox::valueChanged, this, tell);
    connect(mirror_, &QCheckBox::toggled, this, tell);
    turn_->setFocus();
    turn_->selectAll();
}

PictureTurn OrientationDialog::Turn() const {
    PictureTurn t;
    t.mode = static_cast<Orientation>(mode_->currentData().toInt());
    t.flip = 1;
    t.mirror = mirror_->isChecked() ? 1 : -1;
    t.turn = turn_->value() >= kFullTurn ? 0 : turn_->value();
    t.source = OrientationSource::Given;
    return t;
}

} // namespace zorva::gui
