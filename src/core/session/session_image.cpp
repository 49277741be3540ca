// A solar image in the chart's place: opening, closing, saving and its display options.
#include "core/images/image_name.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {
constexpr int kImageDiameterDecimals = 2; // the diameter box shows an image's disk as 304.80
}

Changes Session::OpenImage(const std::string& path, const LimbFit& fit) {
    const SplitPath split = SplitFolder(path);
    folders_.ImageDir = split.folder;
    image_.ImageLoaded = true;
    image_.ImageFileName = split.name;
    TakeLimbFit(image_, fit);
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

    // A name that carries the date (and for one scheme the time) sets the instant.
    if (const std::optional<Instant> instant = InstantFromImageName(split.name)) {
        obs_.instant = *instant;
        LoadTableYear(obs_.instant.year);
        UpdateEphemeris();
        ShowPositionReadouts();
        ShowSolarParameters();
        LocateSpot(spot_, chart_, obs_.ephemeris);
        ShowSpotReadouts();
        changes_.pickers = true;
    }
    RedrawImage(options_.Sunspot);
    PlotRegions();
    return Take();
}

Changes Session::CloseImage() {
    imageShown_ = false;
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
    LoadTableYear(obs_.instant.year);
    UpdateEphemeris();
    ShowPositionReadouts();
    ShowSolarParameters();
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    RedrawChart();
    PlotRegions();
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
