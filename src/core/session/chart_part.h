#pragma once

#include <cstdint>

#include "core/chart/chart_geometry.h"
#include "core/layout/picker_layout.h"
#include "core/settings/settings_file.h"

namespace zorva {

class Session;

// The diameter menu's chosen item and the unit of the diameter box.
struct DiameterChoice {
    int32_t item = -1; // index into DiameterItems, -1 while none is checked
    LengthUnit unit = LengthUnit::Mm;
    bool boxReadOnly = true; // only a typed diameter of a shown chart can be edited
};

// The chart as the user sets it up: its diameter, orientation, flip and mirror, the screen it
// is laid out for, and the orientation chosen for pictures whose files say nothing.
class ChartPart {
  public:
    explicit ChartPart(Session& session) : s_(session) {}
    ChartPart(const ChartPart&) = delete;
    ChartPart& operator=(const ChartPart&) = delete;

    void ChooseDiameter(int32_t item); // index into DiameterItems
    void Flip();
    void Mirror();
    void ChooseOrientation(Orientation mode);
    // 1..7 of ScreenItems: the window is laid out for that screen, at its size.
    void ChooseScreen(int32_t item);
    // The window's size as it closes, kept for the next start.
    void RememberWindowSize(int32_t width, int32_t height);

    // The chart as the user set it up, whatever picture is shown.
    ChartGeometry geometry() const;
    // How a picture whose file says nothing lies: the orientation chosen for pictures.
    ChartGeometry PictureOrientation() const;
    const DiameterChoice& diameter() const { return diameter_; }
    // Side in pixels of the square chart image.
    int32_t ChartSidePixels() const { return ChartSide(chartDiameter_); }
    // The window size, place and scroll bars the layout rule gives for the chart.
    WindowFit Fit() const;
    // The chart is shown, or a picture in its place.
    bool Shown() const;

  private:
    friend class Session;

    void FlipOrMirror(bool flip);
    void ApplyFixedDiameter(const DiameterItem& item);
    void ApplyTypedDiameter();
    bool OtherDiameter(int32_t item);
    void ApplyStartupDiameter(const SettingsLoad& load);

    Session& s_;
    double chartDiameter_ = 150; // millimetres, whatever the unit shown
    DiameterChoice diameter_;
};

} // namespace zorva
