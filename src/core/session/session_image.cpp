// A solar image in the chart's place: opening, closing, saving and its display options.
#include "core/images/image_name.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {
constexpr int kImageDiameterDecimals = 2; // the diameter box shows an image's disk as 304.80
}

void Session::RestoreUserOrientation() {
    if (!userOrientation_) return;
    chart_.Mode = userOrientation_->mode;
    chart_.FlipSign = userOrientation_->flip;
    chart_.MirrorSign = userOrientation_->mirror;
    userOrientation_.reset();
    changes_.menus = true;
}

// How far the limb search lies from the disk a header states, on the status bar.
void Session::ShowLimbAgainstHeader() {
    if (!headerDisk_) return;
    changes_.status = image_.LimbFound ? LimbFromHeaderText(image_.Disk, *headerDisk_)
                                       : "The limb was not found; the FITS header's disk is used";
}

Changes Session::OpenImage(const OpenedImage& opened) {
    const SplitPath split = SplitFolder(opened.path);
    folders_.ImageDir = split.folder;
    image_.ImageLoaded = true;
    image_.ImageFileName = split.name;
    TakeLimbFit(image_, opened.fit);
    // An observatory's header states the disk and its turn: the disk is the header's, the
    // limb search is shown against it, and the header's turn holds while the image is
    // shown, until the user chooses another.
    headerDisk_ = opened.headerDisk;
    ShowLimbAgainstHeader();
    if (headerDisk_) image_.Disk = *headerDisk_;
    RestoreUserOrientation();
    if (opened.headerOrientation) {
        userOrientation_ = UserOrientation{chart_.Mode, chart_.FlipSign, chart_.MirrorSign};
        chart_.Mode = Orientation::FromHeader;
        chart_.HeaderRotation = opened.headerOrientation->q;
        chart_.FlipSign = opened.headerOrientation->FlipSign;
        chart_.MirrorSign = opened.headerOrientation->MirrorSign;
        ShowPositionReadouts();
    }
    imageShown_ = true;
    caption_ = ImageWindowCaption(split.name);
    changes_.image = changes_.menus = changes_.boxes = true;

    // The image is taken as drawn at the chart's scale: its disk gives the diameter, a
    // typed one in millimetres. Without a disk the diameter stays as it was.
    const double diameter = ImageChartDiameter(image_.Disk.r);
    if (diameter > 0) {
        chart_.ChartDiameter = diameter;
        Text(EditBox::Diameter) = FixedText(diameter, kImageDiameterDecimals);
        diameter_.unit = "mm";
        diameter_.item = static_cast<int32_t>(DiameterCommand::Othermm);
    }
    diameter_.boxReadOnly = true;

    // The header's time, else a name that carries the date (and for one scheme the time),
    // sets the instant.
    std::optional<Instant> instant = opened.headerInstant;
    if (!instant) instant = InstantFromImageName(split.name);
    if (instant) {
        obs_.instant = *instant;
        RecomputeAtInstant();
        changes_.pickers = true;
    }
    RedrawImage(options_.Sunspot);
    PlotRegions();
    return Take();
}

void Session::RecomputeAtInstant() {
    LoadTableYear(obs_.instant.year);
    UpdateEphemeris();
    ShowPositionReadouts();
    ShowSolarParameters();
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
}

Changes Session::CloseImage() {
    imageShown_ = false;
    RestoreUserOrientation();
    options_.Sunspot = true;
    // The chart comes back at the image's disk size, but no larger than a chart can be.
    if (chart_.ChartDiameter > LargestChartDiameter) {
        chart_.ChartDiameter = LargestChartDiameter;
        Text(EditBox::Diameter) = FixedText(LargestChartDiameter, kImageDiameterDecimals);
    }
    if (diameter_.item >= 0 && !DiameterItems.at(static_cast<std::size_t>(diameter_.item)).Fixed) {
        diameter_.boxReadOnly = false;
    }
    changes_.chartSize = changes_.image = changes_.menus = changes_.boxes = true;
    RecomputeAtInstant();
    RedrawChart();
    PlotRegions();
    return Take();
}

Changes Session::RefitLimb(const LimbFit& fit) {
    const Circle disk = image_.Disk;
    TakeLimbFit(image_, fit);
    if (headerDisk_) {
        ShowLimbAgainstHeader();
        image_.Disk = disk;
    } else if (const double diameter = ImageChartDiameter(image_.Disk.r); diameter > 0) {
        chart_.ChartDiameter = diameter;
        Text(EditBox::Diameter) = FixedText(diameter, kImageDiameterDecimals);
        changes_.boxes = true;
    }
    if (ImageShown()) {
        LocateSpot(spot_, chart_, obs_.ephemeris);
        ShowSpotReadouts();
        RedrawImage(options_.Sunspot);
        RefreshOverlays();
    }
    return Take();
}

Changes Session::ToggleSubPixelLimb() {
    options_.SubPixelLimb = !options_.SubPixelLimb;
    changes_.menus = true;
    return Take();
}

void Session::ImageSaved(const std::string& path) {
    const SplitPath split = SplitFolder(path);
    folders_.SavedImageDir = split.folder;
    image_.SavedImageName = split.name;
    caption_ = ImageWindowCaption(split.name);
}

Changes Session::ToggleImageOption(bool DisplayOptions::*option) {
    options_.*option = !(options_.*option);
    changes_.menus = true;
    // The limb points and the circle come and go with the next drawing of the image; while
    // it is hidden there is nothing to show them on.
    if (ImageShown()) {
        RedrawImage(options_.Sunspot);
        RefreshOverlays();
    }
    return Take();
}

Changes Session::TogglePoints() {
    return ToggleImageOption(&DisplayOptions::Points);
}

Changes Session::ToggleCircle() {
    return ToggleImageOption(&DisplayOptions::Circle);
}

} // namespace zorva
