// The instant, its recalculation cycle, the observer boxes and the readouts.
#include <QAction>
#include <QLocale>
#include <QSignalBlocker>
#include <stdexcept>

#include "core/chart/projection.h"
#include "core/layout/picker_layout.h"
#include "core/text/numeric_text.h"
#include "gui/widget_text.h"
#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

} // namespace

void TZorvaForm::DecodeDate() {
    const QDate d = DatePicker->date();
    obs_.instant.year = d.year();
    obs_.instant.month = d.month();
    obs_.instant.day = d.day();
}

void TZorvaForm::DecodeTime() {
    const QTime t = TimePicker->time();
    obs_.instant.hour = t.hour();
    obs_.instant.minute = t.minute();
    obs_.instant.second = t.second();
}

void TZorvaForm::LoadTableYear(int32_t year) {
    obs_.TableYear = year;
    obs_.TableFileName = YearFileName(year);
    obs_.TableDays = LoadYearTable(year, obs_.DailyTable, folder_.toStdString());
}

void TZorvaForm::UpdateEphemeris() {
    zorva::UpdateEphemeris(obs_.TableYear, obs_.DailyTable, obs_.TableDays, obs_.instant,
                           obs_.observer, obs_.ephemeris, folder_.toStdString());
}

void TZorvaForm::DatePickerChange() {
    const Instant previous = obs_.instant;
    DecodeDate();
    // The picker's fields wrap inside their own range; carry a wrap into the next field.
    const int y0 = previous.year, m0 = previous.month, d0 = previous.day;
    const int length = DaysInMonth(y0, m0);
    const int yearLength = IsLeapYear(y0) ? 366 : 365;
    const int d = obs_.instant.day, m = obs_.instant.month;
    // Each test looks at the values decoded above; a year test runs only when no
    // earlier test made a change. A date typed or set outright is taken as it is: only
    // a spun field can have wrapped.
    int shift = 0;
    bool changed = !DatePicker->Spinning();
    if (!changed && d0 == length && d == 1) shift += length, changed = true;
    if (!changed && m0 == 12 && m == 1) shift += yearLength, changed = true;
    if (d0 == 1 && d == length) shift -= length, changed = true;
    if (!changed && m0 == 1 && m == 12) shift -= yearLength, changed = true;
    if (shift != 0) {
        const QSignalBlocker block(DatePicker);
        DatePicker->setDate(DatePicker->date().addDays(shift));
        DecodeDate();
    }
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    RecalcTail(previous, DateFoldLimit);
}

void TZorvaForm::TimePickerChange() {
    const Instant previous = obs_.instant;
    DecodeTime();
    const int ph = previous.hour, pm = previous.minute, ps = previous.second;
    const int m = obs_.instant.minute, s = obs_.instant.second;
    int shift = 0;
    if (TimePicker->Spinning()) {
        if (ps == 59 && s == 0) shift += kSecondsPerMinute;
        if (pm == 59 && m == 0) shift += kSecondsPerHour;
        if (ps == 0 && s == 59) shift -= kSecondsPerMinute;
        if (pm == 0 && m == 59) shift -= kSecondsPerHour;
    }
    if (shift != 0) {
        const QSignalBlocker block(TimePicker);
        TimePicker->setTime(TimePicker->time().addSecs(shift));
        DecodeTime();
    }
    // A wrapped hour moves the date.
    int days = 0;
    if (TimePicker->Spinning() && ph == 23 && obs_.instant.hour == 0) days = 1;
    else if (TimePicker->Spinning() && ph == 0 && obs_.instant.hour == 23) days = -1;
    if (days != 0) {
        const QSignalBlocker block(DatePicker);
        DatePicker->setDate(DatePicker->date().addDays(days));
        DecodeDate();
        if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    }
    RecalcTail(previous, TimeFoldLimit);
}

void TZorvaForm::RecalcTail(const Instant& previous, int foldLimit) {
    UpdateEphemeris();
    ShowPositionReadouts();
    ShowSolarParameters();
    const double q = CurrentChartRotation();
    if (!markers_.CarrMarkerShown && !markers_.DiffMarkerShown) {
        LocateSpot(spot_, chart_, obs_.ephemeris);
    }
    if (!markers_.CarrMarkerShown) markers_.CarrRefSet = false;
    CarryRotationMarkers(previous, obs_.instant, q, obs_.ephemeris, chart_, spot_, markers_,
                         foldLimit);
    ShowSpotReadouts();
    if (ChartShown()) RedrawChart();
    ShowSpotArea();
    if (!IsChecked("Arc1") && !IsChecked("Arc2")) ClearSeparation();
}

void TZorvaForm::ObserverLatBoxChange() {
    const QString text = ObserverLatBox->text();
    if (!IsNumericText(text.toStdString())) return;
    if (!AcceptObserverLatitude(BoxNumber(text), obs_.observer.latitude)) return;
    UpdateEphemeris();
    ShowPositionReadouts();
}

void TZorvaForm::ObserverLongBoxChange() {
    const QString text = ObserverLongBox->text();
    if (!IsNumericText(text.toStdString())) return;
    if (!AcceptObserverLongitude(BoxNumber(text), obs_.observer.longitude)) return;
    UpdateEphemeris();
    ShowPositionReadouts();
}

void TZorvaForm::ShowPositionReadouts() {
    const PositionReadouts r = PositionReadoutTexts(
        obs_.ephemeris, precisions_, chart_.Mode);
    SetLabel(RALabel, r.RALabel.text, r.RALabel.left);
    SetLabel(DecLabel, r.DecLabel.text, r.DecLabel.left);
    DecCaption->move(r.DecCaptionLeft, DecCaption->y());
    SetLabel(AltLabel, r.AltLabel.text, r.AltLabel.left);
    SetLabel(AziLabel, r.AziLabel.text, r.AziLabel.left);
    AltCaption->move(r.AltCaptionLeft, AltCaption->y());
    AziCaption->move(r.AziCaptionLeft, AziCaption->y());
    SetLabel(PALabel, r.PALabel.text, r.PALabel.left);
    PACaption->move(r.PACaptionLeft, PACaption->y());
    PACaption->setVisible(r.PAVisible);
    PALabel->setVisible(r.PAVisible);
    if (QAction* menu = action("AltAzi1")) menu->setText(QString::fromStdString(r.AltAzi1Caption));
}

void TZorvaForm::ShowSolarParameters() {
    const SolarParameterReadouts r = SolarParameterTexts(obs_.ephemeris, precisions_);
    SetLabel(B0Label, r.B0Label.text, r.B0Label.left);
    SetLabel(L0Label, r.L0Label.text, r.L0Label.left);
    SetLabel(PLabel, r.PLabel.text, r.PLabel.left);
    SetLabelText(DiamLabel, r.DiamLabel);
    SetLabelText(CRLabel, r.CRLabel);
}

void TZorvaForm::ApplyPickerLayout() {
    const DateLayout& l = pickers_.dateLong ? pickers_.longLayout : pickers_.shortLayout;
    DatePicker->setGeometry(l.DatePickerLeft, DatePicker->y(), l.DatePickerWidth,
                            DatePicker->height());
    TimePicker->setGeometry(l.TimePickerLeft, TimePicker->y(), l.TimePickerWidth,
                            TimePicker->height());
    UTCaption->setGeometry(l.UTCaptionLeft, UTCaption->y(), l.UTCaptionWidth,
                           UTCaption->height());
    const QSignalBlocker block(DatePicker);
    DatePicker->setDisplayFormat(pickers_.dateLong ? QStringLiteral("d MMMM yyyy")
                                                   : QStringLiteral("dd/MM/yyyy"));
}

void TZorvaForm::DateShortClick() {
    pickers_.dateLong = false;
    ApplyPickerLayout();
    SetChecked("DateShort", true);
    SetChecked("DateLong", false);
}

void TZorvaForm::DateLongClick() {
    pickers_.dateLong = true;
    ApplyPickerLayout();
    SetChecked("DateLong", true);
    SetChecked("DateShort", false);
}

namespace {
PickerWidthChange EnabledItems(const TZorvaForm& form) {
    PickerWidthChange e;
    e.increaseDateEnabled = form.action("IncreaseDateWindow1")->isEnabled();
    e.increaseTimeEnabled = form.action("IncreaseTimeWindow1")->isEnabled();
    e.decreaseDateEnabled = form.action("DecreaseDateWindow1")->isEnabled();
    e.decreaseTimeEnabled = form.action("DecreaseTimeWindow1")->isEnabled();
    return e;
}
} // namespace

void TZorvaForm::IncreaseDateWindow1Click() {
    ApplyPickerWidth(IncreaseDateWindow(CurrentPickerLayout(), {GroupBox1->x(), GroupBox1->width()},
                                        EnabledItems(*this)));
}

void TZorvaForm::IncreaseTimeWindow1Click() {
    ApplyPickerWidth(IncreaseTimeWindow(CurrentPickerLayout(), {GroupBox1->x(), GroupBox1->width()},
                                        EnabledItems(*this)));
}

void TZorvaForm::DecreaseDateWindow1Click() {
    ApplyPickerWidth(DecreaseDateWindow(CurrentPickerLayout(), EnabledItems(*this)));
}

void TZorvaForm::DecreaseTimeWindow1Click() {
    ApplyPickerWidth(DecreaseTimeWindow(CurrentPickerLayout(), EnabledItems(*this)));
}

DateLayout& TZorvaForm::CurrentPickerLayout() {
    return pickers_.dateLong ? pickers_.longLayout : pickers_.shortLayout;
}

void TZorvaForm::ApplyPickerWidth(const PickerWidthChange& change) {
    CurrentPickerLayout() = change.layout;
    ApplyPickerLayout();
    SetEnabled("IncreaseDateWindow1", change.increaseDateEnabled);
    SetEnabled("IncreaseTimeWindow1", change.increaseTimeEnabled);
    SetEnabled("DecreaseDateWindow1", change.decreaseDateEnabled);
    SetEnabled("DecreaseTimeWindow1", change.decreaseTimeEnabled);
}

void TZorvaForm::PrecisionClick(const QString& group, int count, int chosen) {
    QStringList items;
    for (int i = 1; i <= count; ++i) items << group + QString::number(i);
    CheckOnly(items, group + QString::number(chosen));
    if (group == "PrecisionRA") precisions_.RAPrecision = chosen;
    else if (group == "PrecisionDec") precisions_.DecPrecision = chosen;
    else if (group == "PrecisionAltAzi") precisions_.AltAziPrecision = chosen;
    else if (group == "PrecisionBLP") precisions_.BLPPrecision = chosen;
    else if (group == "PrecisionDia") precisions_.DiamPrecision = chosen;
    else if (group == "PrecisionLL") spot_.LatLongPrecision = chosen;
    else if (group == "PrecisionArea") spot_.AreaPrecision = chosen;

    if (group == "PrecisionBLP" || group == "PrecisionDia") {
        ShowSolarParameters();
    } else if (group == "PrecisionLL") {
        ShowSpotReadouts();
    } else if (group == "PrecisionArea") {
        ShowSpotArea();
    } else {
        ShowPositionReadouts();
    }
}

} // namespace zorva::gui
