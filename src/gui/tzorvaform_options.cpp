// Colour and toggle commands, and the screen size the layout assumes.
#include "gui/widget_text.h"
#include "gui/tzorvaform.h"

namespace zorva::gui {

void TZorvaForm::SetCarrColour(uint32_t colour) {
    overlays_.CarrColour = colour;
    CheckColour("Carr", colour);
    DatePickerChange();
}

void TZorvaForm::SetDiffColour(uint32_t colour) {
    overlays_.DiffColour = colour;
    CheckColour("Diff", colour);
    DatePickerChange();
}

void TZorvaForm::SetSRSColour(uint32_t colour) {
    // Both colour menus of the region summaries show the one colour.
    overlays_.SRSColour = colour;
    CheckColour("SRS", colour);
    CheckColour("SRS", colour, "2");
    DatePickerChange();
}

void TZorvaForm::SetDistColour1(uint32_t colour) {
    overlays_.DistColour1 = colour;
    CheckColour("Dist", colour, "1");
}

void TZorvaForm::SetDistColour2(uint32_t colour) {
    overlays_.DistColour2 = colour;
    CheckColour("Dist", colour, "2");
}

void TZorvaForm::ToggleAndRecalc(const QString& name, bool& state) {
    state = !IsChecked(name);
    SetChecked(name, state);
    DatePickerChange();
}

void TZorvaForm::RotationCarringtonClick() {
    if (IsChecked("RotationCarrington")) {
        SetChecked("RotationCarrington", false);
        markers_.CarrMarkerShown = false;
        markers_.CarrRefSet = false;
    } else {
        SetChecked("RotationCarrington", true);
        markers_.CarrMarkerShown = true;
        SetChecked("Sunspot1", true);
    }
}

void TZorvaForm::RotationDifferentialClick() {
    if (IsChecked("RotationDifferential")) {
        SetChecked("RotationDifferential", false);
        markers_.DiffMarkerShown = false;
    } else {
        SetChecked("RotationDifferential", true);
        markers_.DiffMarkerShown = true;
        SetChecked("Sunspot1", true);
    }
}

void TZorvaForm::SRSFileNameLabelClick() {
    srsFileNameLabel_ = !srsFileNameLabel_;
    SetChecked("SRSFileNameLabel", srsFileNameLabel_);
    SetChecked("SRSFileNameLabel2", srsFileNameLabel_);
    DatePickerChange();
}

void TZorvaForm::LogFileMessageBox1Click() {
    const bool messages = !IsChecked("LogFileMessageBox1");
    SetChecked("LogFileMessageBox1", messages);
    overlays_.LogFileMessageFlag = messages ? 0 : 1;
}

void TZorvaForm::ScreenResolutionClick(int index) {
    const ScreenItem& chosen = ScreenItems[static_cast<std::size_t>(index)];
    chart_.ScreenWidth = chosen.Width;
    chart_.ScreenHeight = chosen.Height;
    for (const ScreenItem& item : ScreenItems) {
        SetChecked(ToQString(item.Name),
                   item.Name == chosen.Name);
    }
}

} // namespace zorva::gui
