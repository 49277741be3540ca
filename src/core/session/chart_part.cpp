// The chart: its diameter, orientation, flip and mirror, and the screen it is laid out for.
#include "core/session/chart_part.h"

#include <algorithm>

#include "core/chart/projection.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {

// A diameter shown in a new unit keeps six significant digits, as the settings file does.
constexpr int kConvertedDigits = 6;

} // namespace

bool ChartPart::Shown() const {
    return !s_.picture_.Shown();
}

WindowFit ChartPart::Fit() const {
    const int32_t side = ChartSidePixels();
    return FitWindowToChart(side, side, s_.options_.ScreenWidth, s_.options_.ScreenHeight);
}

ChartGeometry ChartPart::geometry() const {
    ChartGeometry g;
    g.ChartDiameter = chartDiameter_;
    g.FlipSign = s_.options_.FlipSign;
    g.MirrorSign = s_.options_.MirrorSign;
    g.Mode = s_.options_.OrientationMode;
    g.ShowCentralMeridian = s_.options_.ShowCentralMeridian;
    g.ShowEquator = s_.options_.ShowEquator;
    g.ShowLatLines = s_.options_.ShowLatLines;
    g.ShowLongLines = s_.options_.ShowLongLines;
    g.ScreenWidth = s_.options_.ScreenWidth;
    g.ScreenHeight = s_.options_.ScreenHeight;
    return g;
}

ChartGeometry ChartPart::PictureOrientation() const {
    ChartGeometry g = geometry();
    g.Mode = s_.options_.PictureOrientation;
    g.FlipSign = ValidSign(s_.options_.PictureFlipSign);
    g.MirrorSign = ValidSign(s_.options_.PictureMirrorSign);
    return g;
}

void ChartPart::ChooseScreen(int32_t item) {
    const ScreenItem& chosen = ScreenItems.at(static_cast<std::size_t>(item - 1));
    s_.options_.ScreenWidth = chosen.Width;
    s_.options_.ScreenHeight = chosen.Height;
    s_.options_.WindowWidth = chosen.Width;
    s_.options_.WindowHeight = chosen.Height;
}

void ChartPart::RememberWindowSize(int32_t width, int32_t height) {
    if (!IsUsableScreenSide(width) || !IsUsableScreenSide(height)) return;
    s_.options_.WindowWidth = width;
    s_.options_.WindowHeight = height;
}

void ChartPart::ApplyFixedDiameter(const DiameterItem& item) {
    chartDiameter_ = item.DiameterMm;
    diameter_.item = static_cast<int32_t>(&item - DiameterItems.data());
    diameter_.unit = item.Unit;
    diameter_.boxReadOnly = true;
    s_.Text(EditBox::Diameter) = DiamBoxText(item.BoxValue);
    s_.AfterGeometryChange();
}

bool ChartPart::OtherDiameter(int32_t item) {
    const DiameterItem& other = DiameterItems.at(static_cast<std::size_t>(item));
    std::string text = s_.Text(EditBox::Diameter);
    if (other.Unit != diameter_.unit) {
        // Switching the unit keeps the disk's size: the diameter in use is shown in the new
        // unit, rather than the old number being read in it.
        text = GeneralText(chartDiameter_ / MmPer(other.Unit), kConvertedDigits);
    }
    const std::optional<double> v = BoxValue(text);
    if (!v || !(*v > 0)) return false;
    if (TypedDiameterMm(*v, other.Unit) > LargestChartDiameter) return false;
    s_.Text(EditBox::Diameter) = text;
    diameter_.unit = other.Unit;
    diameter_.boxReadOnly = false;
    diameter_.item = item;
    ApplyTypedDiameter();
    return true;
}

void ChartPart::ApplyTypedDiameter() {
    const std::optional<double> v = BoxValue(s_.Text(EditBox::Diameter));
    if (!v || !Shown()) return;
    const double diameter = TypedDiameterMm(*v, diameter_.unit);
    if (!IsUsableChartDiameter(diameter)) return;
    chartDiameter_ = diameter;
    s_.AfterGeometryChange();
}

void ChartPart::ChooseDiameter(int32_t item) {
    // The picture's disk gives its own scale; the chart's is chosen while the chart shows.
    if (s_.picture_.Shown()) return;
    const DiameterItem& chosen = DiameterItems.at(static_cast<std::size_t>(item));
    if (chosen.Fixed) {
        ApplyFixedDiameter(chosen);
    } else {
        OtherDiameter(item);
    }
}

void ChartPart::Flip() {
    FlipOrMirror(true);
}

void ChartPart::Mirror() {
    FlipOrMirror(false);
}

void ChartPart::FlipOrMirror(bool flip) {
    // A picture whose file states its turn is flipped in its own turn; another picture in
    // the orientation chosen for pictures; the chart in its own.
    if (s_.picture_.opened_ && s_.picture_.opened_->context.turn) {
        PictureTurn& turn = *s_.picture_.opened_->context.turn;
        int32_t& sign = flip ? turn.flip : turn.mirror;
        sign = ToggledSign(ValidSign(sign));
    } else if (s_.picture_.opened_ && s_.picture_.opened_->context.orientation) {
        DiskOrientation& turn = *s_.picture_.opened_->context.orientation;
        int32_t& sign = flip ? turn.FlipSign : turn.MirrorSign;
        sign = ToggledSign(sign);
    } else if (s_.picture_.opened_) {
        int32_t& sign = flip ? s_.options_.PictureFlipSign : s_.options_.PictureMirrorSign;
        sign = ToggledSign(ValidSign(sign));
    } else {
        int32_t& sign = flip ? s_.options_.FlipSign : s_.options_.MirrorSign;
        sign = ToggledSign(sign);
    }
    s_.SayOrientation();
    s_.HoldRotationMarkers();
    LocateSpot(s_.spot_, s_.CurrentFrame(), s_.observing_.obs_.ephemeris);
    s_.FollowSeparation();
    s_.Settle();
}

void ChartPart::ChooseOrientation(Orientation mode) {
    if (s_.picture_.opened_) {
        // A choice from the menu ends the file's turn and the one given, and is kept for
        // pictures.
        s_.picture_.opened_->context.orientation.reset();
        s_.picture_.opened_->context.turn.reset();
        s_.picture_.opened_->context.orientationSource = OrientationSource::Picture;
        s_.options_.PictureOrientation = mode;
        s_.SayOrientation();
    } else {
        s_.options_.OrientationMode = mode;
    }
    LocateSpot(s_.spot_, s_.CurrentFrame(), s_.observing_.obs_.ephemeris);
    s_.FollowSeparation();
    s_.Settle();
}

void ChartPart::ApplyStartupDiameter(const SettingsLoad& load) {
    // The diameter box holds a placeholder until the stored diameter's command runs.
    diameter_.unit = LengthUnit::Mm;
    s_.Text(EditBox::Diameter) = "500";
    const DiameterCommand command = load.diameterCommand;
    if (command == DiameterCommand::None) return;
    const auto item = static_cast<int32_t>(command);
    if (command == DiameterCommand::Othermm || command == DiameterCommand::Otherin) {
        diameter_.unit = command == DiameterCommand::Othermm ? LengthUnit::Mm : LengthUnit::Inch;
        s_.Text(EditBox::Diameter) = load.diamBoxText;
        OtherDiameter(item);
    } else {
        ApplyFixedDiameter(DiameterItems.at(static_cast<std::size_t>(item)));
    }
}

} // namespace zorva
