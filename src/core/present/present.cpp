// Everything the window shows, worked out from the session's state alone: nothing here
// remembers what was shown before, so what is shown cannot drift from the state.
#include "core/images/image_state.h"
#include "core/present/presentation.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr int kImageDiameterDecimals = 2; // the diameter box shows a picture's disk as 304.80
constexpr const char* kChartCaption = "Zorva Viewer";

ChartScene SceneOf(const Session& s, const ChartGeometry& geometry) {
    ChartScene scene =
        MakeChartScene(geometry, s.Observing().observation().ephemeris, s.spot(), s.markers());
    const Options& o = s.options();
    scene.NESWPoints = o.NESWPoints;
    scene.Sunspot = o.Sunspot;
    scene.Carrington = {o.CarringtonColour, o.CarringtonLabel};
    scene.Differential = {o.DifferentialColour, o.DifferentialLabel};
    if (s.MarkersAside()) scene.Markers.CarrMarkerShown = scene.Markers.DiffMarkerShown = false;
    return scene;
}

std::optional<SeparationOverlay> SeparationOf(const Session& s, const DiskFrame& frame) {
    const std::optional<FigureForm> form = s.SeparationFigureForm();
    if (!form) return std::nullopt;
    SeparationState sep = s.separation();
    sep.SpotInMiddle = s.options().SpotInMiddle;
    return SeparationOverlay{SeparationFigureOf(sep, *form, s.Observing().observation().ephemeris),
                             frame, s.options().DistColour1, s.options().DistColour2};
}

std::optional<RegionsOverlay> RegionsOf(const Session& s, const DiskFrame& frame) {
    const RegionSummary& srs = s.Summaries().summary();
    if (!s.display().SolarRegionSummary || srs.Regions->empty()) return std::nullopt;
    RegionsOverlay o;
    o.regions = srs.Regions;
    o.places = PlaceRegions(*srs.Regions, srs.Offset, s.Observing().observation().ephemeris);
    o.frame = frame;
    o.colour = s.options().SRSColour;
    o.fileNameLabel = s.options().SRSFileNameLabel;
    o.fileName = srs.FileName;
    o.highlight = srs.Highlight;
    const SummaryAge age =
        AgeOfSummary(srs.FileDate, srs.Epoch, s.Observing().observation().instant);
    o.ageLabel = age.text;
    o.faded = age.faded;
    return o;
}

std::optional<SpotsOverlay> SpotsOf(const Session& s) {
    if (!s.Spots().SpotsFound() && !s.Spots().clickedSpot()) return std::nullopt;
    // Before the search ends, the spot a click measured alone.
    const FoundSpots& f = s.Spots().SpotsFound() ? *s.Spots().found() : *s.Spots().clickedSpot();
    return SpotsOverlay{f.detection, f.shown,    f.group,
                        f.spot,      f.measured, s.options().ShowRejected};
}

} // namespace

ChartView PresentChart(const Session& s) {
    ChartView view;
    view.scene = SceneOf(s, s.Geometry());
    if (s.Chart().Shown()) {
        const DiskFrame frame = s.CurrentFrame();
        view.separation = SeparationOf(s, frame);
        view.regions = RegionsOf(s, frame);
    }
    return view;
}

ChartView PresentChartOutput(const Session& s) {
    if (s.Chart().Shown()) return PresentChart(s);
    // The chart of the picture's instant, as the chart is set up. The spot and the markers
    // were put on the picture, in its own millimetres: they have no place on the chart.
    const ChartGeometry geometry = s.Chart().geometry();
    const Ephemeris& e = s.Observing().observation().ephemeris;
    ChartView view;
    view.scene = SceneOf(s, geometry);
    view.scene.Sunspot = false;
    view.scene.Markers.CarrMarkerShown = view.scene.Markers.DiffMarkerShown = false;
    const int32_t side = s.Chart().ChartSidePixels();
    view.regions = RegionsOf(
        s, ChartDiskFrame(side, side, geometry, ChartRotation(geometry, e.P, e.ParallacticAngle)));
    return view;
}

std::optional<PictureView> PresentPicture(const Session& s) {
    if (!s.Picture().opened()) return std::nullopt;
    const PictureContext& context = s.Picture().opened()->context;
    PictureView view;
    view.scene = SceneOf(s, s.Geometry());
    view.limb = context.limb.points;
    view.points = s.options().Points;
    if (context.disk) {
        view.disk = context.disk;
        view.circle = s.options().Circle;
        view.spot = s.options().Sunspot;
        const DiskFrame frame = s.CurrentFrame();
        view.separation = SeparationOf(s, frame);
        view.regions = RegionsOf(s, frame);
        view.spots = SpotsOf(s);
    }
    // A drag replaces the clicked points when it ends: they are not shown while it goes on.
    if (const auto& hand = s.Picture().HandDisk()) {
        view.hand =
            HandDiskView{hand->dragging ? std::vector<PicturePoint>{} : hand->points, hand->circle};
    }
    view.drift = s.Picture().Drift();
    return view;
}

std::vector<CaptionLine> PresentPictureCaption(const Session& s) {
    if (!s.Picture().opened() || !s.Picture().opened()->context.disk) return {};
    const Observation& o = s.Observing().observation();
    return PictureCaptionLines(s.Picture().opened()->context, o.instant, o.ephemeris, s.Geometry());
}

ReadoutView PresentReadouts(const Session& s) {
    ReadoutView r;
    const Ephemeris& e = s.Observing().observation().ephemeris;
    const ChartGeometry geometry = s.Geometry();
    const ReadoutPrecisions precisions = ReadoutPrecisionsOf(s.options());
    r.position = PositionReadoutTexts(e, precisions, geometry.Mode);
    r.parameters = SolarParameterTexts(e, precisions);
    SpotState spot = s.spot();
    spot.LatLongPrecision = s.options().LatLongPrecision;
    spot.AreaPrecision = s.options().AreaPrecision;
    r.spot = UpdateSpotReadouts(spot);
    const AreaReadout area = ComputeSpotArea(spot, geometry.ChartDiameter);
    r.areaText = area.Text;
    r.areaRed = area.Red;
    r.areaHint = AreaHintText(spot, area);
    r.areaLeft = s.AreaLeft();
    r.separation = ShowSeparationTexts(s.separation());
    r.sizeUnit = s.options().GridMm ? MmGridSizeLabel : InchGridSizeLabel;
    r.diameterUnit =
        s.Picture().Shown() ? "px" : std::string(UnitCaption(s.Chart().diameter().unit));
    return r;
}

Presentation Present(const Session& s) {
    Presentation p;
    if (const auto& picture = s.Picture().opened()) {
        const std::string& saved = picture->savedName;
        p.caption = ImageWindowCaption(saved.empty() ? picture->context.name : saved);
    } else {
        p.caption = s.Picture().SavedImageName().empty()
                        ? kChartCaption
                        : ImageWindowCaption(s.Picture().SavedImageName());
    }
    p.readouts = PresentReadouts(s);
    for (int i = 0; i < kEditBoxCount; ++i) {
        const auto box = static_cast<EditBox>(i);
        BoxView& b = p.boxes[static_cast<std::size_t>(i)];
        b.text = s.BoxText(box);
        b.status = s.StatusOf(box);
        if (box == EditBox::Diameter) {
            b.readOnly = s.Picture().Shown() || s.Chart().diameter().boxReadOnly;
            // A picture's disk gives its own diameter, which the box shows in the picture's
            // pixels while it is up; its hint says what the millimetres measured on it are.
            if (s.Picture().Shown()) b.status = {};
            if (s.Picture().HasDisk()) {
                const std::string pixels = FixedText(2 * s.Picture().opened()->context.disk->r, 1);
                b.text = pixels;
                b.status.hint = "The picture's disk is " + pixels +
                                " pixels across. x, y and the spot size are millimetres of the "
                                "chart it stands for, drawn at " +
                                FixedText(ChartPixelsPerInch, 0) + " pixels to the inch: " +
                                FixedText(s.Geometry().ChartDiameter, kImageDiameterDecimals) +
                                " mm across";
            } else if (s.Picture().Shown()) {
                b.text.clear();
                b.status.hint = "The picture has no disk yet: Image > Disk by Hand... gives one";
            }
        }
    }
    p.pickers = {s.Observing().Date(), s.Observing().Time(), s.options().DateLong,
                 s.Observing().PickerLayout()};
    p.menus = PresentMenus(s, p.readouts.position.AltAzi1Caption);
    p.chartSide = s.Chart().ChartSidePixels();
    p.windowWidth = s.options().WindowWidth;
    p.windowHeight = s.options().WindowHeight;
    p.chart = PresentChart(s);
    p.picture = PresentPicture(s);
    const YearTableSource& source = s.Observing().observation().TableSource;
    p.tableSource = "Ephemeris: " + YearTableSourceText({source.origin, source.fileName, {}});
    p.status = s.Status();
    p.statusCount = s.StatusCount();
    p.regions = s.Summaries().summary().Regions;
    p.regionsFileName = s.Summaries().summary().FileName;
    // Said for the date that has no summary, until another is loaded.
    if (s.Summaries().summary().MissingDate == s.Observing().Date())
        p.regionsNote = s.Summaries().summary().Missing;
    p.measurements = s.Records().logbook().Measurements();
    if (s.Spots().SpotsFound()) {
        const std::optional<RegionMatching> matching = s.Spots().SpotRegions();
        p.spotTable = MakeSpotTable(*s.Spots().found()->detection, matching ? &*matching : nullptr,
                                    *s.Summaries().summary().Regions);
        p.spotTableTitle = s.Picture().opened()->context.name;
        if (matching) p.spotTableTitle += " - " + s.Summaries().summary().FileName;
    }
    return p;
}

} // namespace zorva
