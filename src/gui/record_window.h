#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "core/record/group_tracking.h"
#include "core/record/monthly_report.h"
#include "core/record/observation.h"

class QDateEdit;
class QLabel;
class QPainter;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;

namespace zorva::gui {

class Dialogs;
class RecordPart;

// The pages of the record's window, in their order.
enum class RecordView : int { Observations, Groups, MonthlyReport, Activity, Butterfly };

// A plot drawn by the render layer into the widget's whole area, on white.
class PlotView final : public QWidget {
  public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;
    explicit PlotView(const QString& name, QWidget* parent = nullptr);
    void SetPainter(Painter paint);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Painter paint_;
};

// The observer's record in a window of its own: every observation (one marked as its day's),
// the groups followed with each one's days and area curve (a class can be corrected there),
// a month's report, the activity curve and the butterfly diagram, each exported as the
// command line writes them. What it shows is read from the record again whenever it may have
// changed.
class RecordWindow final : public QWidget {
    Q_OBJECT
  public:
    RecordWindow(RecordPart& record, Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the page, with what the record holds now.
    void ShowView(RecordView view);
    // Reads the record again.
    void Refresh();

    // The month of the report shown.
    void ChooseMonth(int year, int month);
    const MonthlyReport& Report() const { return report_; }

  private:
    QWidget* BuildObservations();
    QWidget* BuildGroups();
    QWidget* BuildReport();
    QWidget* BuildPlot(PlotView*& view, const QString& name, const QString& button,
                       std::function<void()> exportPlot);
    void ShowObservations();
    void ShowGroups();
    void ShowGroupDays();
    void ShowReport();
    void ShowPlots();
    void MarkDay();
    void ClassEdited(int row, int column);
    void ExportReport(bool csv);
    void ExportPlot(bool activity);
    void Say(const QString& text);

    RecordPart& record_;
    Dialogs& dialogs_;
    std::vector<SunspotObservation> observations_;
    std::vector<SunspotObservation> days_; // the day's observation of each day
    std::vector<GroupLife> lives_;
    MonthlyReport report_;
    int64_t chosenGroup_ = 0;
    bool monthChosen_ = false;

    QTabWidget* tabs_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QTableWidget* observationGrid_ = nullptr;
    QPushButton* markDay_ = nullptr;
    QTableWidget* groupGrid_ = nullptr;
    QTableWidget* dayGrid_ = nullptr;
    QSplitter* groupBelow_ = nullptr; // the days beside the area curve
    PlotView* areaPlot_ = nullptr;
    QDateEdit* month_ = nullptr;
    QTableWidget* reportGrid_ = nullptr;
    QLabel* summary_ = nullptr;
    PlotView* activityPlot_ = nullptr;
    PlotView* butterflyPlot_ = nullptr;
};

} // namespace zorva::gui
