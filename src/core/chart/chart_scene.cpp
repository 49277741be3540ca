#include "core/chart/chart_scene.h"

namespace zorva {

ChartScene MakeChartScene(const ChartGeometry& geometry, const Ephemeris& ephemeris,
                          const SpotState& spot, const MarkerState& markers) {
    ChartScene s;
    s.Frame = FrameAt(geometry, ephemeris);
    s.ShowCentralMeridian = geometry.ShowCentralMeridian;
    s.ShowEquator = geometry.ShowEquator;
    s.ShowLatLines = geometry.ShowLatLines;
    s.ShowLongLines = geometry.ShowLongLines;
    s.B0 = ephemeris.B0;
    s.L0 = ephemeris.L0;
    s.P = ephemeris.P;
    s.D = ApparentDiameter(ephemeris);
    s.SpotX = spot.SpotX;
    s.SpotY = spot.SpotY;
    s.Markers = markers;
    return s;
}

} // namespace zorva
