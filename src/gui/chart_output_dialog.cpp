#include "gui/chart_output_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zorva::gui {

ChartOutputDialog::ChartOutputDialog(QWidget* parent, const QString& title,
                                     const ChartOutputOptions& options)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ChartOutputDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    auto* colours = new QGroupBox(QStringLiteral("Colours"), this);
    auto* colourRows = new QVBoxLayout(colours);
    screenColours_ = new QRadioButton(QStringLiteral("&Screen colours"), colours);
    screenColours_->setObjectName(QStringLiteral("ScreenColours"));
    printStyle_ = new QRadioButton(
        QStringLiteral("&Print style: white background and disk, black grid"), colours);
    printStyle_->setObjectName(QStringLiteral("PrintStyle"));
    (options.printStyle ? printStyle_ : screenColours_)->setChecked(true);
    colourRows->addWidget(screenColours_);
    colourRows->addWidget(printStyle_);
    layout->addWidget(colours);

    caption_ = new QCheckBox(QStringLiteral("&Caption block under the chart"), this);
    caption_->setObjectName(QStringLiteral("CaptionBlock"));
    caption_->setChecked(options.caption);
    layout->addWidget(caption_);
    auto* captionNote = new QLabel(
        QStringLiteral("Date and time UT, B0, L0, P, Carrington rotation, apparent diameter, "
                       "orientation, your latitude and longitude, and blank Observer, Seeing "
                       "and Notes lines."),
        this);
    captionNote->setWordWrap(true);
    captionNote->setContentsMargins(20, 0, 0, 0);
    layout->addWidget(captionNote);

    longitudeLabels_ =
        new QCheckBox(QStringLiteral("&Longitude labels along the equator every 30\u00B0"), this);
    longitudeLabels_->setObjectName(QStringLiteral("LongitudeLabels"));
    longitudeLabels_->setChecked(options.longitudeLabels);
    layout->addWidget(longitudeLabels_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ChartOutputButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

ChartOutputOptions ChartOutputDialog::Options() const {
    return {printStyle_->isChecked(), caption_->isChecked(), longitudeLabels_->isChecked()};
}

} // namespace zorva::gui
