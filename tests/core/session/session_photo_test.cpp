// A photograph's instant, never another picture's, and the turn given to it by hand or by
// the Sun's drift.
#include <gtest/gtest.h>

#include "core/present/presentation.h"
#include "core/session/session.h"
#include "support/test_support.h"

namespace zorva {
namespace {

// A picture of a disk of radius 200 about (256, 256), as opening a file named `name` makes it.
PictureContext Opened(const std::string& name) {
    PictureFile file;
    file.name = name;
    PictureContext context = OpenPicture(file, {});
    LimbFit fit;
    fit.disk = {256, 256, 200};
    fit.found = true;
    RefitPicture(context, fit);
    return context;
}

class PhotoSession : public ::testing::Test {
  protected:
    void SetUp() override { s.Start(LoadSettingsFiles(dir.path()), {2000, 1, 31}); }
    bool Contains(const std::string& words) const {
        return s.Status().find(words) != std::string::npos;
    }
    test::TempDir dir;
    Session s{YearTables(dir.path())};
};

TEST_F(PhotoSession, APictureNeverTakesAnotherPicturesInstant) {
    s.Picture().OpenImage("20050111_2359_mdi_igr.png", Opened("20050111_2359_mdi_igr.png"));
    const Instant mdi{2005, 1, 11, 23, 59, 0};
    EXPECT_EQ(s.Observing().observation().instant, mdi);
    EXPECT_FALSE(s.Picture().PictureAwaitsInstant());

    // A camera picture without a date: offered at the day the program started, never at the
    // picture's before; nothing is measured on it, and the status line says why.
    s.Picture().OpenImage("sun.jpg", Opened("sun.jpg"));
    EXPECT_TRUE(s.Picture().PictureAwaitsInstant());
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2000, 1, 31, 12, 0, 0}));
    EXPECT_NE(s.Picture().InstantQuestion().find("gives no date or time"), std::string::npos);
    s.ImageMouseDown(true, false, false, 300, 200);
    EXPECT_EQ(s.spot().SpotX, 0);
    EXPECT_TRUE(Contains("until its instant is given")) << s.Status();
    EXPECT_EQ(s.Records().AddToLogfile().outcome,
              LogOutcome::NotOpen); // no logfile: not even asked
    // The caption a saved picture carries says the instant is not given.
    const std::vector<CaptionLine> caption = PresentPictureCaption(s);
    ASSERT_GE(caption.size(), 2u);
    EXPECT_NE(caption[1].text.find("not yet given"), std::string::npos) << caption[1].text;

    // Given: measured at it, and said to be given.
    const Instant given{2024, 5, 11, 9, 30, 0};
    ASSERT_TRUE(s.Observing().SetInstant(given));
    EXPECT_FALSE(s.Picture().PictureAwaitsInstant());
    EXPECT_TRUE(Contains("time: given")) << s.Status();
    s.ImageMouseDown(true, false, false, 300, 200);
    EXPECT_NE(s.spot().SpotX, 0);

    // The date and time changed while a picture is shown are its instant, given.
    s.Picture().OpenImage("d240512.bmp", Opened("d240512.bmp"));
    EXPECT_TRUE(s.Picture().PictureAwaitsInstant());
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2024, 5, 12, 12, 0, 0}));
    EXPECT_NE(s.Picture().InstantQuestion().find("day alone"), std::string::npos);
    s.Observing().ChangeTime({8, 45, 0}, false);
    EXPECT_FALSE(s.Picture().PictureAwaitsInstant());
    EXPECT_EQ(s.Picture().opened()->context.instant, (Instant{2024, 5, 12, 8, 45, 0}));
    EXPECT_EQ(s.Picture().opened()->context.instantSource, InstantSource::Given);

    // The user's own instant, set on the chart, is offered to the next picture without one.
    s.Picture().CloseImage();
    s.Observing().ChangeDate({2024, 6, 1}, false);
    s.Picture().OpenImage("sun.jpg", Opened("sun.jpg"));
    EXPECT_TRUE(s.Picture().PictureAwaitsInstant());
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2024, 6, 1, 8, 45, 0}));
}

TEST_F(PhotoSession, ATurnGivenIsMeasuredInFlippedAndGivenUp) {
    s.Picture().OpenImage("20050111_2359_mdi_igr.png", Opened("20050111_2359_mdi_igr.png"));
    s.Picture().OrientPicture(
        PictureTurn{Orientation::Equatorial, 1, 1, 59, OrientationSource::Given},
        OrientationSource::Given);
    EXPECT_EQ(s.Geometry().Turn, 59);
    EXPECT_EQ(s.Picture().opened()->context.orientationSource, OrientationSource::Given);
    EXPECT_TRUE(Contains("east right, turned 59 degrees counter-clockwise (given)")) << s.Status();
    // Mirror works on the turn given, which stays.
    s.Chart().Mirror();
    EXPECT_EQ(s.Picture().opened()->context.turn->mirror, -1);
    EXPECT_EQ(s.Geometry().Turn, 59);
    // Given up, the observatory's name tells how it lies again.
    s.Picture().OrientPicture(std::nullopt, OrientationSource::FileName);
    EXPECT_EQ(s.Geometry().Turn, 0);
    EXPECT_EQ(s.Geometry().Mode, Orientation::FromHeader);
    // A mode chosen from the menu ends a turn given.
    s.Picture().OrientPicture(
        PictureTurn{Orientation::Equatorial, 1, 1, 30, OrientationSource::Given},
        OrientationSource::Given);
    s.Chart().ChooseOrientation(Orientation::RotationAxis);
    EXPECT_EQ(s.Geometry().Turn, 0);
    EXPECT_EQ(s.Geometry().Mode, Orientation::RotationAxis);
}

TEST_F(PhotoSession, NorthFromADriftDrawn) {
    s.Picture().OpenImage("sun.jpg", Opened("sun.jpg"));
    s.Picture().StartDrift();
    // Clicks are the drift's while it is drawn.
    s.ImageMouseDown(true, false, false, 300, 200);
    EXPECT_EQ(s.spot().SpotX, 0);
    // Too short to show a direction.
    s.Picture().DriftPress(100, 100);
    EXPECT_FALSE(s.Picture().DriftRelease(101, 101));
    EXPECT_TRUE(Contains("at least 3 px")) << s.Status();
    // A drift to the right is west to the right: as the sky is seen north is up (turn 0),
    // mirrored it is down (180).
    s.Picture().DriftPress(100, 100);
    s.Picture().DriftDrag(105, 100);
    EXPECT_EQ(s.Picture().Drift()->to, (PicturePoint{105, 100}));
    ASSERT_TRUE(s.Picture().DriftRelease(140, 100));
    s.Picture().TurnByDrift(EastSense::Mirrored);
    EXPECT_FALSE(s.Picture().Drift());
    ASSERT_TRUE(s.Picture().opened()->context.turn);
    EXPECT_NEAR(s.Picture().opened()->context.turn->turn, 180, 1e-9);
    EXPECT_EQ(s.Picture().opened()->context.turn->mode, Orientation::Equatorial);
    EXPECT_EQ(s.Picture().opened()->context.orientationSource, OrientationSource::Drift);

    // Two pictures: the disk drifted 40 px up, so west is up and, as the sky is seen, north
    // a quarter turn counter-clockwise from it, to the left (90).
    PictureContext later = Opened("later.jpg");
    later.disk = Circle{256, 216, 200};
    ASSERT_TRUE(s.Picture().TurnByDriftTo(later, EastSense::AsTheSky));
    EXPECT_NEAR(s.Picture().opened()->context.turn->turn, 90, 1e-9);
    later.disk = Circle{256, 216, 150};
    EXPECT_FALSE(s.Picture().TurnByDriftTo(later, EastSense::AsTheSky));
    EXPECT_TRUE(Contains("differ in size")) << s.Status();
}

} // namespace
} // namespace zorva
