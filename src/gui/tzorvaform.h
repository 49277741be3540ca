#pragma once

#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/present/presentation.h"
#include "core/session/session.h"
#include "gui/clock.h"
#include "gui/dialogs.h"
#include "gui/pickers.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QStackedWidget;
class QStatusBar;
class QThreadPool;

namespace zorva {
struct SolarImage;
struct SunspotObservation;
} // namespace zorva

namespace zorva::gui {

class ImageControl;
class ImageView;
class MeasurementsWindow;
class ObservationDialog;
class RecordPart;
class RecordWindow;
enum class RecordView : int;
class RegionTable;
class SunspotTable;

// The main window: it shows the observation session and hands the user's commands to it.
// Every handler is a session call followed by the redraws and the sync of what changed.
class TZorvaForm final : public QMainWindow {
    Q_OBJECT
  public:
    // `folder` is where the settings, directory and year files live (the working folder
    // in the program).
    // `fileGiven`: a file is to be opened at once (named on the command line), so the welcome
    // window of a first start is not shown.
    TZorvaForm(Dialogs& dialogs, const Clock& clock, QString folder, bool fileGiven = false,
               QWidget* parent = nullptr);
    ~TZorvaForm() override;
    // Waits for the spot search running in the background and hands its spots over.
    void FinishSpotSearches();

    // The observation the window shows, for tests and benchmarks.
    const Session& session() const { return session_; }

    // Opens a picture as Open Image does once its file is chosen: a file named on the
    // command line, or one the desktop hands over.
    void OpenPicturePath(const QString& path);

    // Closes the window as File > Exit does, for a signal that ends the program (a logout,
    // `kill`): nobody is there to answer a message, so a save that fails is told on the
    // error stream instead, and the program ends all the same.
    void CloseUnattended();
    // Whether the settings and options were saved when the window closed.
    bool SavedOnClose() const { return savedOnClose_; }

    // The date picker's change and clicks on the chart and on the picture, as the user makes them.
    void DatePickerChange();
    void ImageMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X, int Y);
    void Image1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X, int Y);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Handlers, named after the controls and menu items that fire them.
    void TimePickerChange();
    void OpenImage1Click();
    void CloseImage1Click();
    void Save1Click();
    void SaveAs1Click();
    void LoadSRS1Click();
    void LoadSRS2Click();
    void SolarRegionSummary1Click();
    void RegionTable1Click();
    // Image > Disk by Hand...: the disk drawn or clicked on the picture, then taken with
    // Enter or dropped with Esc; Image > Camera Clock Offset...
    void DiskByHand1Click();
    void CameraClockOffset1Click();
    void HandDiskPressed(QPointF at);
    void HandDiskDragged(QPointF to);
    void HandDiskReleased(QPointF at);
    // A key on the picture while a disk is given by hand: true when it was the disk's.
    bool HandDiskKey(int key, Qt::KeyboardModifiers modifiers);
    // A photograph's instant and orientation (tzorvaform_photo.cpp): Image > Picture
    // Instant..., Orientation... with the grid following the typing, North from the Drift
    // (drawn on the picture), North from Two Pictures..., Solve Orientation from Summary.
    void PictureInstant1Click();
    void Orientation1Click();
    void DriftNorth1Click();
    void DriftPictures1Click();
    void SolveOrientation1Click();
    void DriftPressed(QPointF at);
    void DriftDragged(QPointF to);
    void DriftReleased(QPointF at);
    // Sunspots on the picture: the search, its table and its export.
    void DetectSunspots1Click();
    void SunspotTable1Click();
    void ExportSunspots1Click();
    // Their review: the Sunspots menu's items, and the spot and group they act on.
    void BuildReviewItems(QMenu* spots);
    int32_t ChosenSpot() const;
    int32_t ChosenGroup() const;
    void ReviewMergeGroups1Click();
    void ReviewNoaaNumber1Click();
    // The spot search the shown picture wants, begun away from the window's thread; its
    // spots are handed to the session when it ends.
    void StartSpotSearch();
    void NewLogfile1Click();
    void OpenLogfile1Click();
    void AddtoLogfile1Click();
    void ExitClick();
    void Contents1Click();
    void Welcome1Click();
    void AboutClick();
    void PrintChart1Click();
    void ExportChart1Click();
    void CopyReadouts1Click();
    void NowUT1Click();
    void StepClick(StepUnit unit, int count); // NextMinute1Click ... PreviousDay1Click
    // The measurements, recent files and files dropped on the window.
    void Measurements1Click();
    void UndoMeasurement1Click();
    void ExportMeasurements1Click();
    void RecentFileClick(RecentKind kind, int index); // RecentPicture1Click ...
    void ClearRecentFiles1Click();
    // Files dropped on the window, each opened as what it is: a picture, a Region Summary
    // or a logfile; the others are named with the reason.
    void FilesDropped(const QStringList& paths);
    // The observer's record: File > Record..., and the Record menu (RecordObservations1Click
    // ... ButterflyDiagram1Click show the record's window at their page).
    void ChooseRecord1Click();
    void AddThisPicture1Click();
    void AddVisualObservation1Click();
    void RecordViewClick(RecordView view);

    // Start-up and shut-down.
    void FormCreate(bool fileGiven);
    void FormClose();
    QString OptionsFilePath() const;
    void BuildForm();
    void BuildMenus();
    void BuildEditAndTimeMenus();
    void BuildRecentMenu(QMenu* file);
    void BuildImageMenu();
    void BuildPhotoItems(QMenu* image);
    void ConnectPhotoTools();
    // Asks for the shown picture's instant, offering what its file gives.
    void AskPictureInstant();
    // True when the picture shown can be measured at its instant; otherwise the user is told
    // what is missing and may give it at once.
    bool InstantReady();
    // Esc while a drift is drawn cancels it: true when the key was the drift's.
    bool DriftKey(int key);
    // Whether the picture shows the Sun mirrored, asked of the user.
    EastSense AskEastSense(const QString& caption);
    void BuildRecordMenu();
    // Adds an observation to the record (made when there is none yet): empty, else why not.
    std::string AddToRecord(const SunspotObservation& observation, int64_t& id);
    // After a form added its observation: its details kept for the next, and said.
    void ObservationAdded(const ObservationDialog& dialog, int64_t id);

    // The window shows the presentation of the session's state: after each command the
    // parts that differ from what is shown are drawn and written again.
    void Show();
    void SyncReadouts(const ReadoutView& readouts);
    void SyncMenus(const std::vector<MenuItemView>& menus);
    void SyncBoxes(const Presentation& presentation);
    void SyncPickers(const PickerView& pickers);
    // The window at the size kept from the last run, else filling the screen's available
    // area; with a Screen Resolution chosen, at that screen's size. Never off the screen.
    void ApplyWindowLayout();
    void PaintChart(const ChartView& view);
    void PaintPicture();
    void SyncSunspotTable(const Presentation& presentation);
    void SaveImageTo(const QString& chosenPath);
    // Opening a file without its dialog: a summary, a logfile (a picture: OpenPicturePath).
    void LoadSummaryFile(const QString& path);
    void OpenLogfileFile(const QString& path);
    void OpenFileOfKind(const QString& path);
    void EditBoxChanged(EditBox box);

    // Menu plumbing.
    QMenu* AddMenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> handler, bool checkable = true);
    // The items of the options whose entries place them in that menu's block.
    void AddOptionItems(QMenu* menu, std::string_view menuName, int block);
    QAction* Action(const QString& name) const;
    void SetChecked(const QString& name, bool checked);
    // Runs a command; an exception that escapes it is shown and the program goes on.
    void RunCommand(const std::function<void()>& command);
    // A menu item's command that the session carries out alone, and what it changed shown.
    void Command(const std::function<void()>& command);
    std::function<void()> Orient(Orientation mode);
    std::function<void()> Widen(PickerWidthCommand command);

    // Widgets.
    QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, int left, int top,
                     const QString& hint = {});
    QLineEdit* AddEdit(QWidget* parent, EditBox box, const QString& name, int left, int top,
                       int width, const QString& hint);
    QGroupBox* AddGroup(const QString& name, const QString& title, int top);

    Dialogs& dialogs_;
    const Clock& clock_;
    QString folder_;
    Session session_;
    bool closed_ = false;
    bool unattended_ = false;  // closing for a signal, with nobody to answer a message
    bool savedOnClose_ = true; // whether closing saved everything

    std::map<QString, QAction*> actions_;
    std::vector<QAction*> menuActions_; // alongside the presentation's menu items
    QFont labelFont_;

    QWidget* form_ = nullptr;         // the panel of group boxes
    QStackedWidget* views_ = nullptr; // the chart's scroll area, or the picture's view
    QScrollArea* chartScroll_ = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox8 = nullptr;
    std::array<QLineEdit*, kEditBoxCount> boxes_{};
    std::array<QString, kEditBoxCount> boxHints_{};
    QLabel* DiskDiamLabel = nullptr;
    DatePickerEdit* DatePicker = nullptr;
    TimePickerEdit* TimePicker = nullptr;
    QLabel* UTCaption = nullptr;
    QLabel *RALabel = nullptr, *DecCaption = nullptr, *DecLabel = nullptr, *AltCaption = nullptr,
           *AltLabel = nullptr, *AziCaption = nullptr, *AziLabel = nullptr, *PACaption = nullptr,
           *PALabel = nullptr;
    QLabel *B0Label = nullptr, *L0Label = nullptr, *PLabel = nullptr, *DiamLabel = nullptr,
           *CRLabel = nullptr;
    QLabel* SizeLabel = nullptr;
    QLabel *LatLabel = nullptr, *LongLabel = nullptr, *AreaLabel = nullptr,
           *SunspotCRLabel = nullptr;
    QLabel *Sep1Label = nullptr, *Sep2Label = nullptr, *LL1Label = nullptr, *LL2Label = nullptr;
    QLabel *Label4 = nullptr, *Label5 = nullptr, *Label7 = nullptr; // their captions
    ImageControl* Image = nullptr;
    ImageView* Image1 = nullptr;
    std::optional<Presentation> shown_;                // what the window shows
    RegionTable* regionTable_ = nullptr;               // made when first asked for
    MeasurementsWindow* measurementsWindow_ = nullptr; // likewise
    SunspotTable* sunspotTable_ = nullptr;             // likewise
    QLabel* tableSourceLabel_ = nullptr;               // on the status bar
    ChartOutputOptions chartOutput_;                   // the choices of the last print or export
    std::unique_ptr<RecordPart> record_;               // the observer's record
    RecordWindow* recordWindow_ = nullptr;             // made when first asked for
    // The spot searches running, and the number of the latest begun: one it has overtaken
    // is not begun. Last, so that the searches end before anything else goes.
    std::shared_ptr<std::atomic<uint64_t>> latestSearch_ =
        std::make_shared<std::atomic<uint64_t>>(0);
    std::unique_ptr<QThreadPool> spotSearches_;
};

} // namespace zorva::gui
