#pragma once

#include <QDateEdit>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScrollArea>
#include <QTimeEdit>
#include <functional>
#include <map>

#include "core/chart/chart_geometry.h"
#include "core/chart/rotation_markers.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/layout/picker_layout.h"
#include "core/measure/separation.h"
#include "core/readouts/readouts.h"
#include "core/settings/directory_file.h"
#include "core/settings/settings_file.h"
#include "gui/chart_image.h"
#include "gui/clock.h"
#include "gui/dialogs.h"
#include "gui/pickers.h"

class QAction;
class QMenu;

namespace zorva::gui {

// The observation: instant, observer, the daily table of the instant's year and the
// Sun's ephemeris.
struct ObservationState {
    Instant instant;
    Observer observer;
    int32_t TableYear = 0;
    std::string TableFileName;
    zorva::DailyTable DailyTable{};
    int32_t TableDays = 0;
    Ephemeris ephemeris;
};

// Placement of the date and time pickers for each date format.
struct PickerLayouts {
    bool dateLong = true;
    DateLayout shortLayout{60, 75, 180, 72, 258, 19};
    DateLayout longLayout{29, 140, 200, 72, 278, 19};
};

// Overlay colours and toggles that only steer drawing.
struct OverlayOptions {
    uint32_t CarrColour = kColourBlack;
    bool CarrLabel = false;
    uint32_t DiffColour = kColourBlack;
    bool DiffLabel = false;
    uint32_t SRSColour = kColourBlack;
    uint32_t DistColour1 = kColourBlue;
    uint32_t DistColour2 = kColourRed;
    int32_t LogFileMessageFlag = 0; // 0: a message after each logfile addition
};

// The main window: it holds the whole state of the program and runs its commands.
class TZorvaForm final : public QMainWindow {
    Q_OBJECT
public:
    // `folder` is where the settings, directory and year files live (the working folder
    // in the program).
    TZorvaForm(Dialogs& dialogs, const Clock& clock, QString folder = QStringLiteral("."),
               QWidget* parent = nullptr);
    ~TZorvaForm() override;

    // State, readable by tests and benchmarks.
    const ObservationState& observation() const { return obs_; }
    const ChartGeometry& chart() const { return chart_; }
    const SpotState& spot() const { return spot_; }
    const MarkerState& markers() const { return markers_; }
    const ReadoutPrecisions& precisions() const { return precisions_; }
    const PickerLayouts& pickerLayouts() const { return pickers_; }
    const OverlayOptions& overlays() const { return overlays_; }
    const Folders& folders() const { return folders_; }
    const SeparationState& separation() const { return sep_; }
    const QString& logfilePath() const { return logfilePath_; }
    bool hideWelcome() const { return hideWelcome_; }
    void setHideWelcome(bool hide) { hideWelcome_ = hide; }
    // The window size, place and scroll bars the layout rule chose last.
    const WindowFit& windowFit() const { return fit_; }
    QAction* action(const QString& name) const;
    // The settings as they would be written now.
    Settings CurrentSettings() const;

    // Handlers, named after the controls and menu items that fire them.
    void DatePickerChange();
    void TimePickerChange();
    void ObserverLatBoxChange();
    void ObserverLongBoxChange();
    void ShowPositionReadouts();
    void ShowSolarParameters();
    void DateShortClick();
    void DateLongClick();
    void IncreaseDateWindow1Click();
    void DecreaseDateWindow1Click();
    void IncreaseTimeWindow1Click();
    void DecreaseTimeWindow1Click();
    void XCoordBoxChange();
    void YCoordBoxChange();
    void SizeBoxChange();
    void DiamBoxChange();
    void DiameterClick(const QString& name);
    void FlipMenuClick();
    void MirrorMenuClick();
    void DiskOrientationClick(Orientation mode);
    void Sunspot1Click();
    void N1sqmmClick();
    void N125sqinClick();
    void ImageMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X, int Y);
    void NewLogfile1Click();
    void OpenLogfile1Click();
    void AddtoLogfile1Click();
    void SpotinMiddle1Click();
    void ExitClick();
    void Contents1Click();
    void Welcome1Click();
    void AboutClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Start-up and shut-down.
    void FormCreate();
    void FormClose();
    void BuildForm();
    void BuildMenus();
    void LoadSettings();
    void ApplyCheckMarks();
    void ApplyWindowLayout();

    // The recalculation cycle.
    void LoadTableYear(int32_t year);
    void UpdateEphemeris();
    void RecalcTail(const Instant& previous, int foldLimit);
    void DecodeDate();
    void DecodeTime();
    void ApplyPickerLayout();
    DateLayout& CurrentPickerLayout();
    void ApplyPickerWidth(const PickerWidthChange& change);
    void ShowSpotReadouts();
    void ShowSpotArea();
    // Separation and logfile.
    void ClearSeparation();
    void ShowSeparation();
    void DrawSeparation(FigureForm form);
    void ArcClick(const QString& own, const QString& other);
    void SeparationPathClick(const QString& own, const QString& other);
    void SetCoordinateBoxes(double x, double y);
    double CurrentChartRotation() const;
    FileDialogRequest LogfileRequest(const QString& title) const;
    void ChooseLogfile(const QString& path);

    // The chart.
    void RedrawChart();
    bool ChartShown() const;
    bool ImageShown() const;
    void HoldRotationMarkers(bool rerunCoordinates);
    void RestoreRotationMarkers();
    void RelocateTypedSpot();
    void RefreshOverlays();
    void ResizeChart();
    void AfterChartGeometryChange();
    void ApplyChartSize(const DiameterItem& item);
    void CheckDiameterItem(const QString& name);
    void OtherDiameterClick(const DiameterItem& item);
    void RunStartupDiameterCommand();
    void FlipOrMirror(int32_t& sign);
    void GridLineClick(const QString& name, bool* flag);
    void CoordBoxChange(QLineEdit* box, double& value);

    // Menu plumbing.
    QMenu* AddMenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> handler, bool checkable = true);
    void AddColourMenu(QMenu* parent, const QString& name, const QString& prefix,
                       std::function<void(uint32_t)> handler);
    void SetChecked(const QString& name, bool checked);
    bool IsChecked(const QString& name) const;
    void SetEnabled(const QString& name, bool enabled);
    // Checks one item of a group of radio items by hand and clears the others.
    void CheckOnly(const QStringList& group, const QString& chosen);
    void CheckColour(const QString& prefix, uint32_t colour, const QString& tail = {});
    // Runs a command; an exception that escapes it is shown and the program goes on.
    void RunCommand(const std::function<void()>& command);

    // Widgets.
    QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, int left,
                     int top, const QString& hint = {});
    QLineEdit* AddEdit(QWidget* parent, const QString& name, int left, int top, int width,
                       const QString& hint);
    // Places widgets left to right, each followed by its gap in pixels.
    void PlaceRow(int left, std::initializer_list<std::pair<QWidget*, int>> row);
    QGroupBox* AddGroup(const QString& name, const QString& title, int top);
    void SetLabel(QLabel* label, const std::string& text, int left);
    void SetLabelText(QLabel* label, const std::string& text);

    // Colour and toggle commands.
    void SetCarrColour(uint32_t colour);
    void SetDiffColour(uint32_t colour);
    void SetSRSColour(uint32_t colour);
    void SetDistColour1(uint32_t colour);
    void SetDistColour2(uint32_t colour);
    void RotationCarringtonClick();
    void RotationDifferentialClick();
    void ToggleAndRecalc(const QString& name, bool& state);
    void SRSFileNameLabelClick();
    void LogFileMessageBox1Click();
    void ScreenResolutionClick(int index);
    void PrecisionClick(const QString& group, int count, int chosen);

    Dialogs& dialogs_;
    const Clock& clock_;
    QString folder_;

    ObservationState obs_;
    ChartGeometry chart_;
    SpotState spot_;
    MarkerState markers_;
    ReadoutPrecisions precisions_;
    PickerLayouts pickers_;
    OverlayOptions overlays_;
    Folders folders_;
    WindowFit fit_;
    bool hideWelcome_ = false;
    bool srsFileNameLabel_ = false;
    int32_t markerX_ = 0; // pixel of the last marker drawn
    int32_t markerY_ = 0;
    SettingsLoad startupLoad_; // what start-up read, for its diameter and grid commands
    bool closed_ = false;
    SeparationState sep_;
    bool logfileOpen_ = false;
    QString logfilePath_;

    std::map<QString, QAction*> actions_;
    QFont labelFont_;

public:
    // Controls, by their names.
    QScrollArea* scroll_ = nullptr;
    QWidget* form_ = nullptr;
    QGroupBox *GroupBox7 = nullptr, *GroupBox1 = nullptr, *GroupBox6 = nullptr,
              *GroupBox2 = nullptr, *GroupBox4 = nullptr, *GroupBox5 = nullptr,
              *GroupBox8 = nullptr;
    QLineEdit *ObserverLatBox = nullptr, *ObserverLongBox = nullptr, *DiamBox = nullptr;
    QLabel* DiskDiamLabel = nullptr;
    DatePickerEdit* DatePicker = nullptr;
    TimePickerEdit* TimePicker = nullptr;
    QLabel* UTCaption = nullptr;
    QLabel *RACaption = nullptr, *RALabel = nullptr, *DecCaption = nullptr, *DecLabel = nullptr,
           *AltCaption = nullptr, *AltLabel = nullptr, *AziCaption = nullptr,
           *AziLabel = nullptr, *PACaption = nullptr, *PALabel = nullptr;
    QLabel *B0Label = nullptr, *L0Label = nullptr, *PLabel = nullptr, *DiamLabel = nullptr,
           *CRLabel = nullptr;
    QLineEdit *XCoordBox = nullptr, *YCoordBox = nullptr, *SizeBox = nullptr;
    QLabel* SizeLabel = nullptr;
    QLabel *LatLabel = nullptr, *LongLabel = nullptr, *AreaLabel = nullptr,
           *SunspotCRLabel = nullptr;
    QLabel *Sep1Label = nullptr, *Sep2Label = nullptr, *LL1Label = nullptr, *LL2Label = nullptr;
    ImageControl* Image = nullptr;
    ImageControl* Image1 = nullptr;
};

} // namespace zorva::gui
