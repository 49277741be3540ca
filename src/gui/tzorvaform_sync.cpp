// The window as a view of the session: labels, boxes, pickers, the chart and the layout are
// written from it after each command, only where the command changed something.
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <utility>

#include "core/images/image_state.h"
#include "core/present/presentation.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "gui/measurements_window.h"
#include "gui/region_table.h"
#include "gui/sunspot_table.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"
#include "render/chart_painter.h"
#include "render/cpu_state.h"
#include "render/picture_painter.h"
#include "render/solar_image.h"

namespace zorva::gui {

namespace {

constexpr int kErrorMessageMs = 15000;

void SetText(QLabel* label, const std::string& text) {
    const QString t = ToQString(text);
    if (label->text() == t) return;
    label->setText(t);
    label->adjustSize();
}

void SetLabel(QLabel* label, const LabelText& text) {
    SetText(label, text.text);
    if (label->x() != text.left) label->move(text.left, label->y());
}

void MoveX(QWidget* w, int left) {
    if (w->x() != left) w->move(left, w->y());
}

} // namespace

void TZorvaForm::Show() {
    Presentation next = Present(session_);
    const Presentation* last = shown_ ? &*shown_ : nullptr;
    const bool sideChanged = !last || last->chartSide != next.chartSide;
    if (sideChanged) Image->setCanvasSize(next.chartSide, next.chartSide);
    const bool pictureShown = next.picture.has_value();
    const bool swapped = !last || last->picture.has_value() != pictureShown;
    if (swapped) {
        // One of the two is shown: the chart, or the picture in its place.
        views_->setCurrentWidget(pictureShown ? static_cast<QWidget*>(Image1) : chartScroll_);
        Image->setVisible(!pictureShown);
        Image1->setVisible(pictureShown);
    }
    if (pictureShown && (!last || last->picture != next.picture)) PaintPicture();
    if (!pictureShown && (sideChanged || last->chart != next.chart)) PaintChart(next.chart);
    if (!last || last->windowWidth != next.windowWidth || last->windowHeight != next.windowHeight) {
        ApplyWindowLayout();
    }
    if (!last || last->readouts != next.readouts) SyncReadouts(next.readouts);
    // What the user types or spins is passed to the session, which keeps it: a box or a
    // picker differs from what was shown whenever it differs from the state.
    if (!last || last->boxes != next.boxes) SyncBoxes(next);
    if (!last || last->pickers != next.pickers) SyncPickers(next.pickers);
    // A check mark, though, is turned by the toolkit itself when its item is chosen, whatever
    // the command makes of it: each is compared with what its item shows.
    SyncMenus(next.menus);
    if (!last || last->caption != next.caption) setWindowTitle(ToQString(next.caption));
    if (regionTable_ &&
        (!last || last->regions != next.regions || last->regionsNote != next.regionsNote)) {
        regionTable_->SetRegions(*next.regions, ToQString(next.regionsFileName),
                                 ToQString(next.regionsNote));
    }
    if (measurementsWindow_ && (!last || last->measurements != next.measurements)) {
        measurementsWindow_->SetMeasurements(
            *next.measurements, QString::fromStdString(session_.Records().logbook().Path()));
    }
    if (sunspotTable_ && (!last || last->spotTable != next.spotTable ||
                          last->spotTableTitle != next.spotTableTitle)) {
        SyncSunspotTable(next);
    } else if (sunspotTable_) {
        // A spot clicked on the picture is chosen in the table too.
        const auto chosen = [](const Presentation& p) {
            const bool any = p.picture && p.picture->spots;
            return std::pair(any ? p.picture->spots->group : 0, any ? p.picture->spots->spot : 0);
        };
        if (chosen(*last) != chosen(next))
            sunspotTable_->Choose(chosen(next).first, chosen(next).second);
    }
    if (!last || last->tableSource != next.tableSource)
        SetText(tableSourceLabel_, next.tableSource);
    if (!next.status.empty() && (!last || last->statusCount != next.statusCount)) {
        statusBar()->showMessage(ToQString(next.status), kErrorMessageMs);
    }
    shown_ = std::move(next);
    for (const Notice& n : session_.TakeNotices()) {
        dialogs_.Message(this, ToQString(n.text), ToQString(n.caption), MessageIcon::Warning,
                         MessageButtons::Ok);
    }
    StartSpotSearch();
}

void TZorvaForm::PaintChart(const ChartView& view) {
    PaintChartView(Image->canvas(), view, labelFont_);
    // Painting can leave the processor in a state that slows the numeric work that follows.
    ClearUpperVectorState();
    Image->update();
}

void TZorvaForm::PaintPicture() {
    // The picture is shown as it is; its overlay is painted over it in the view's own
    // pixels from what the window shows, each time the view is painted.
    const QImage& picture = ShownImage(
        session_.Picture().opened() ? session_.Picture().opened()->images : PictureImages{});
    if (Image1->image().cacheKey() != picture.cacheKey()) Image1->setImage(picture);
    Image1->overlayChanged();
}

void TZorvaForm::SyncReadouts(const ReadoutView& r) {
    const PositionReadouts& p = r.position;
    SetLabel(RALabel, p.RALabel);
    SetLabel(DecLabel, p.DecLabel);
    MoveX(DecCaption, p.DecCaptionLeft);
    SetLabel(AltLabel, p.AltLabel);
    SetLabel(AziLabel, p.AziLabel);
    MoveX(AltCaption, p.AltCaptionLeft);
    MoveX(AziCaption, p.AziCaptionLeft);
    SetLabel(PALabel, p.PALabel);
    MoveX(PACaption, p.PACaptionLeft);
    PACaption->setVisible(p.PAVisible);
    PALabel->setVisible(p.PAVisible);

    const SolarParameterReadouts& s = r.parameters;
    SetLabel(B0Label, s.B0Label);
    SetLabel(L0Label, s.L0Label);
    SetLabel(PLabel, s.PLabel);
    SetText(DiamLabel, s.DiamLabel);
    SetText(CRLabel, s.CRLabel);

    SetLabel(LatLabel, {r.spot.LatText, r.spot.LatLeft});
    SetLabel(LongLabel, {r.spot.LongText, r.spot.LongLeft});
    SetText(SunspotCRLabel, r.spot.RotationText);
    SetLabel(AreaLabel, {r.areaText, r.areaLeft});
    QPalette palette = AreaLabel->palette();
    const QColor areaColour = r.areaRed ? Qt::red : Qt::black;
    if (palette.color(QPalette::WindowText) != areaColour) {
        palette.setColor(QPalette::WindowText, areaColour);
        AreaLabel->setPalette(palette);
    }
    const QString areaTip = ToQString(r.areaHint);
    if (AreaLabel->toolTip() != areaTip) AreaLabel->setToolTip(areaTip);
    SetText(SizeLabel, r.sizeUnit);
    SetText(DiskDiamLabel, r.diameterUnit);

    const SeparationLabels& sep = r.separation;
    SetText(Sep1Label, sep.Sep1Label);
    SetText(Sep2Label, sep.Sep2Label);
    SetText(LL1Label, sep.LL1Label);
    SetText(LL2Label, sep.LL2Label);
    SetText(Label4, sep.SepCaption);
    SetText(Label5, sep.LL1Caption);
    SetText(Label7, sep.LL2Caption);
    // The hints say what a longitude arc's values are.
    for (const auto& [label, hint] :
         {std::pair{Sep1Label, &sep.Sep1Hint}, std::pair{Label4, &sep.Sep1Hint},
          std::pair{Sep2Label, &sep.Sep2Hint}, std::pair{LL1Label, &sep.LL1Hint},
          std::pair{Label5, &sep.LL1Hint}, std::pair{LL2Label, &sep.LL2Hint},
          std::pair{Label7, &sep.LL2Hint}}) {
        const QString tip = ToQString(*hint);
        if (label->toolTip() != tip) label->setToolTip(tip);
    }
}

void TZorvaForm::SyncBoxes(const Presentation& p) {
    for (int i = 0; i < kEditBoxCount; ++i) {
        const BoxView& view = p.boxes[static_cast<std::size_t>(i)];
        QLineEdit* edit = boxes_[static_cast<std::size_t>(i)];
        const QString text = ToQString(view.text);
        if (edit->text() != text) {
            edit->setText(text);
            // A value the program puts in a narrow box is read from its start.
            if (!edit->hasFocus()) edit->setCursorPosition(0);
        }
        if (edit->isReadOnly() != view.readOnly) edit->setReadOnly(view.readOnly);
        // A text that is not the value in use is marked, and says what is.
        const bool refused = view.status.state == BoxState::Refused;
        QPalette palette = edit->palette();
        const QColor colour = refused ? Qt::red : palette.color(QPalette::WindowText);
        if (palette.color(QPalette::Text) != colour) {
            palette.setColor(QPalette::Text, colour);
            edit->setPalette(palette);
        }
        // A box in use has its own hint, unless the state says more (a picture's diameter).
        const QString tip = view.status.hint.empty() ? boxHints_[static_cast<std::size_t>(i)]
                                                     : ToQString(view.status.hint);
        if (edit->toolTip() != tip) edit->setToolTip(tip);
    }
}

void TZorvaForm::SyncPickers(const PickerView& p) {
    const QDate date(p.date.year, p.date.month, p.date.day);
    const QTime time(p.time.hour, p.time.minute, p.time.second);
    const QSignalBlocker blockDate(DatePicker);
    const QSignalBlocker blockTime(TimePicker);
    const QString format =
        p.dateLong ? QStringLiteral("d MMMM yyyy") : QStringLiteral("dd/MM/yyyy");
    if (DatePicker->displayFormat() != format) DatePicker->setDisplayFormat(format);
    if (DatePicker->date() != date) DatePicker->setDate(date);
    if (TimePicker->time() != time) TimePicker->setTime(time);
    const DateLayout& l = p.layout;
    const auto place = [](QWidget* w, int left, int width) {
        const QRect r(left, w->y(), width, w->height());
        if (w->geometry() != r) w->setGeometry(r);
    };
    place(DatePicker, l.DatePickerLeft, l.DatePickerWidth);
    place(TimePicker, l.TimePickerLeft, l.TimePickerWidth);
    place(UTCaption, l.UTCaptionLeft, l.UTCaptionWidth);
}

void TZorvaForm::ApplyWindowLayout() {
    const Options& o = session_.options();
    const QScreen* s = screen();
    if (s == nullptr) return;
    const QRect avail = s->availableGeometry();
    // The frame around the window; before it is shown the title bar's height is a guess.
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int titleHeight =
        isVisible() ? inner.top() - frame.top() : style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int sides = isVisible() ? frame.width() - inner.width() : 0;
    const int roomWidth = std::max(1, avail.width() - sides);
    const int roomHeight = std::max(1, avail.height() - titleHeight);
    const bool kept = o.WindowWidth > 0 && o.WindowHeight > 0;
    const int width = std::min(kept ? o.WindowWidth : roomWidth, roomWidth);
    const int height = std::min(kept ? o.WindowHeight : roomHeight, roomHeight);
    // Centred in the screen's available area, the title bar inside it.
    const int left = avail.left() + (roomWidth - width) / 2;
    const int top = avail.top() + titleHeight + (roomHeight - height) / 2;
    setGeometry(left, top, width, height);
}

void TZorvaForm::EditBoxChanged(EditBox box) {
    const QLineEdit* edit = boxes_[static_cast<std::size_t>(box)];
    session_.EditText(box, edit->text().toStdString());
    Show();
}

bool TZorvaForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool taken = false;
        RunCommand([&] { taken = HandDiskKey(key->key(), key->modifiers()); });
        if (taken) return true;
    }
    if (event->type() == QEvent::FocusOut) {
        for (int i = 0; i < kEditBoxCount; ++i) {
            if (watched == boxes_[static_cast<std::size_t>(i)]) {
                RunCommand([this, i] {
                    session_.LeaveBox(static_cast<EditBox>(i));
                    Show();
                });
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace zorva::gui
