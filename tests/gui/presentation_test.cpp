// The window shows the presentation of the session's state after every command: each
// label, box, picker, menu item and the title, and the chart or the picture pixel for
// pixel as they are painted from it.
#include <QAction>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QTimeEdit>

#include "core/present/presentation.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "render/chart_painter.h"
#include "render/image_overlay.h"
#include "render/picture_painter.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct Presented : test::WindowTest {
    Presented() : WindowTest(QDate(2011, 6, 7)) {}

    void ExpectLabel(const char* name, const std::string& text) const {
        EXPECT_EQ(Text(name).toStdString(), text) << name;
    }

    // Everything the window shows against the presentation of the state. What the chart
    // and the picture show is taken from their last paint, once the window has painted what
    // it asked to paint: a repaint the window failed to ask for leaves the paint before.
    void ExpectWindowShowsTheState(const std::string& after) const {
        // The spots searched in the background are shown once the search ends.
        form->FinishSpotSearches();
        SCOPED_TRACE("after " + after);
        QCoreApplication::processEvents();
        const Presentation p = Present(session());
        const ReadoutView& r = p.readouts;
        ExpectLabel("RALabel", r.position.RALabel.text);
        ExpectLabel("DecLabel", r.position.DecLabel.text);
        ExpectLabel("AltLabel", r.position.AltLabel.text);
        ExpectLabel("AziLabel", r.position.AziLabel.text);
        ExpectLabel("PALabel", r.position.PALabel.text);
        EXPECT_EQ(Find<QLabel>("PALabel")->isHidden(), !r.position.PAVisible);
        ExpectLabel("B0Label", r.parameters.B0Label.text);
        ExpectLabel("L0Label", r.parameters.L0Label.text);
        ExpectLabel("PLabel", r.parameters.PLabel.text);
        ExpectLabel("DiamLabel", r.parameters.DiamLabel);
        ExpectLabel("CRLabel", r.parameters.CRLabel);
        ExpectLabel("LatLabel", r.spot.LatText);
        ExpectLabel("LongLabel", r.spot.LongText);
        ExpectLabel("SunspotCRLabel", r.spot.RotationText);
        ExpectLabel("AreaLabel", r.areaText);
        EXPECT_EQ(Find<QLabel>("AreaLabel")->x(), r.areaLeft);
        ExpectLabel("SizeLabel", r.sizeUnit);
        ExpectLabel("DiskDiamLabel", r.diameterUnit);
        ExpectLabel("Sep1Label", r.separation.Sep1Label);
        ExpectLabel("Sep2Label", r.separation.Sep2Label);
        ExpectLabel("LL1Label", r.separation.LL1Label);
        ExpectLabel("LL2Label", r.separation.LL2Label);
        ExpectLabel("Label4", r.separation.SepCaption);
        ExpectLabel("Label5", r.separation.LL1Caption);
        ExpectLabel("Label7", r.separation.LL2Caption);
        const char* boxes[] = {"ObserverLatBox", "ObserverLongBox", "DiamBox",
                               "XCoordBox",      "YCoordBox",       "SizeBox"};
        for (int i = 0; i < kEditBoxCount; ++i) {
            const BoxView& b = p.boxes[static_cast<std::size_t>(i)];
            EXPECT_EQ(Box(boxes[i])->text().toStdString(), b.text) << boxes[i];
            EXPECT_EQ(Box(boxes[i])->isReadOnly(), b.readOnly) << boxes[i];
        }
        const QDate date = Find<QDateEdit>("DatePicker")->date();
        const QTime time = Find<QTimeEdit>("TimePicker")->time();
        EXPECT_EQ((CalendarDate{date.year(), date.month(), date.day()}), p.pickers.date);
        EXPECT_EQ((TimeOfDay{time.hour(), time.minute(), time.second()}), p.pickers.time);
        for (const MenuItemView& m : p.menus) {
            const QAction* a =
                Item(QString::fromUtf8(m.name.data(), static_cast<qsizetype>(m.name.size())));
            if (a->isCheckable()) {
                EXPECT_EQ(a->isChecked(), m.checked) << m.name;
            }
            EXPECT_EQ(a->isEnabled(), m.enabled) << m.name;
            EXPECT_EQ(a->isVisible(), m.visible) << m.name;
            EXPECT_EQ(a->statusTip().toStdString(), m.tip) << m.name;
            if (!m.caption.empty()) {
                EXPECT_EQ(a->text().toStdString(), m.caption) << m.name;
            }
        }
        EXPECT_EQ(form->windowTitle().toStdString(), p.caption);
        const QFont font = Find<QLabel>("RALabel")->font();
        if (p.picture) {
            // The picture as the file holds it, and over it the overlay of the state.
            auto* shown = Find<gui::ImageView>("Image1");
            EXPECT_TRUE(shown->image() == clean) << "the picture";
            // The view was painted again for the state, without a paint being forced.
            EXPECT_TRUE(lastPainted.picture == p.picture) << "the picture was not painted again";
            // What the view paints is what the state's overlay paints at its zoom.
            const QImage painted = shown->viewport()->grab().toImage();
            const gui::ImageView::OverlayPainter own = shown->overlay();
            shown->setOverlay([&](QPainter& painter, double zoom, QPointF origin) {
                PaintPictureOverlay(
                    painter, *p.picture,
                    {zoom, origin.x(), origin.y(), QRectF(shown->viewport()->rect())}, font);
            });
            const QImage expected = shown->viewport()->grab().toImage();
            shown->setOverlay(own);
            EXPECT_TRUE(painted == expected) << "the overlay";
        } else {
            QImage painted = Find<gui::ImageControl>("Image")->canvas().copy();
            painted.fill(Qt::black);
            PaintChartView(painted, p.chart, font);
            EXPECT_TRUE(painted == Find<gui::ImageControl>("Image")->canvas()) << "the chart";
            EXPECT_TRUE(painted == lastPainted.chart) << "the chart was not painted again";
        }
    }

    void Click(int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        if (session().Picture().Shown()) {
            emit Find<gui::ImageView>("Image1")->mouseDown(Qt::LeftButton, modifiers, x, y);
        } else {
            emit Find<gui::ImageControl>("Image")->mouseDown(Qt::LeftButton, modifiers, x, y);
        }
    }

    QImage clean; // the opened picture as the file holds it

    // What the chart and the picture were last painted with: the chart's pixels, and the
    // state's overlay at the time.
    struct LastPainted : QObject {
        const Presented* test = nullptr;
        QImage chart;
        std::optional<PictureView> picture;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() != QEvent::Paint) return false;
            if (auto* control = qobject_cast<gui::ImageControl*>(watched)) {
                chart = control->canvas().copy();
            } else {
                picture = PresentPicture(test->session());
            }
            return false;
        }
    } lastPainted;
    void WatchPaints() {
        lastPainted.test = this;
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Find<gui::ImageControl>("Image")->installEventFilter(&lastPainted);
        Find<gui::ImageView>("Image1")->viewport()->installEventFilter(&lastPainted);
    }
};

// Every menu command in turn, typing into every box, clicks and shift-clicks, on the chart
// and then on an opened picture: after each, the window shows the state and nothing else.
TEST_F(Presented, EveryCommandLeavesTheWindowShowingTheState) {
    WatchPaints();
    ZORVA_TEST_DATA(data);
    dialogs.files.push_back(QString::fromStdString((data / "srs" / "20110607SRS.txt").string()));
    Trigger("LoadSRS1");
    ExpectWindowShowsTheState("a summary");
    std::vector<std::string> names;
    for (const QAction* a : form->findChildren<QAction*>()) {
        const std::string name = a->objectName().toStdString();
        // Exit ends the window; the dialogs' commands are answered by cancelling them.
        if (!name.empty() && name != "Exit" && a->menu() == nullptr) names.push_back(name);
    }
    ASSERT_GT(names.size(), 100u);
    const auto everything = [&](const std::string& where) {
        for (const std::string& name : names) {
            QAction* a = Item(QString::fromStdString(name));
            if (!a->isEnabled()) continue;
            a->trigger();
            ExpectWindowShowsTheState(name + " " + where);
            if (HasFailure()) return;
        }
        for (const auto& [box, text] :
             std::vector<std::pair<QString, QString>>{{"XCoordBox", "12.5"},
                                                      {"YCoordBox", "-20"},
                                                      {"SizeBox", "30"},
                                                      {"ObserverLatBox", "45"},
                                                      {"ObserverLongBox", "-70"},
                                                      {"XCoordBox", "1x"}}) {
            Type(box, text);
            ExpectWindowShowsTheState("typing " + text.toStdString() + " " + where);
        }
        Click(300, 260);
        ExpectWindowShowsTheState("a click " + where);
        Click(250, 250, Qt::ShiftModifier);
        Click(320, 300, Qt::ShiftModifier);
        ExpectWindowShowsTheState("a separation " + where);
        Trigger("NextDay1");
        ExpectWindowShowsTheState("a step " + where);
        Type("XCoordBox", "3");
        ExpectWindowShowsTheState("typing after a separation " + where);
    };
    everything("on the chart");
    if (HasFailure()) return;

    // A copy: a review of its spots is kept beside the picture.
    const std::filesystem::path hmi = dir / "hmi_20230131_033945_512.png";
    std::filesystem::copy_file(data / "images" / "hmi_20230131_033945_512.png", hmi);
    clean = QImage(QString::fromStdString(hmi.string())).convertToFormat(QImage::Format_Grayscale8);
    dialogs.files.push_back(QString::fromStdString(hmi.string()));
    Trigger("OpenImage1");
    ASSERT_TRUE(session().Picture().Shown());
    ExpectWindowShowsTheState("opening a picture");
    names.erase(std::remove(names.begin(), names.end(), "CloseImage1"), names.end());
    everything("on the picture");
}

} // namespace
} // namespace zorva
