#include "core/images/picture_context.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace zorva {
namespace {

using I = Instant;

// A 64 x 64 grey picture, black or with a disk of radius 24 and grey 200 in its middle.
std::vector<uint8_t> Picture(bool disk) {
    std::vector<uint8_t> px(64 * 64, 0);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (disk && std::hypot(x - 32, y - 32) <= 24)
                px[static_cast<std::size_t>(y * 64 + x)] = 200;
        }
    }
    return px;
}

// Every part of the context from the first source that has it: the disk from the hand,
// the header, then the search the picture backs; the instant from the user, the header,
// the camera, then the name; and a note for each thing passed over or assumed.
TEST(OpenPicture, EachPartFromTheFirstSourceThatHasIt) {
    const FitsKeywords header = {{"CDELT1", "40"},    {"CDELT2", "40"},
                                 {"CRPIX1", "33"},    {"CRPIX2", "32"},
                                 {"RSUN_OBS", "960"}, {"DATE-OBS", "2014-03-01T00:00:00"}};
    const CameraTimes camera = {"2024:04:08 18:15:22", "", "+02:00", ""};
    const CameraTimes cameraNoOffset = {"2024:04:08 18:15:22", "", "", ""};
    const CameraTimes blank = {"    :  :     :  :  ", "", "", ""};
    const struct {
        const char* what;
        bool disk;
        std::optional<Circle> hand;
        bool fits;
        std::optional<CameraTimes> camera;
        const char* name;
        std::optional<Instant> given;
        int32_t clock;
        DiskSource diskSource;
        InstantSource instantSource;
        std::optional<Instant> instant;
        const char* status; // words of the status line
    } cases[] = {
        {"search",
         true,
         {},
         false,
         {},
         "sun.png",
         {},
         0,
         DiskSource::LimbSearch,
         InstantSource::None,
         {},
         "Disk: limb search; time: none in the file, not yet given"},
        // Rays 1 and 179 of a 64-pixel-wide picture start in the centre's column: 354 rays.
        {"refused search",
         false,
         {},
         false,
         {},
         "sun.png",
         {},
         0,
         DiskSource::None,
         InstantSource::None,
         {},
         "Disk: none (none of the 354 rays found an edge)"},
        {"hand over the search",
         true,
         Circle{30, 31, 20},
         false,
         {},
         "sun.png",
         {},
         0,
         DiskSource::Hand,
         InstantSource::None,
         {},
         "Disk: given by hand"},
        {"a hand's disk of no size",
         true,
         Circle{30, 31, 0},
         false,
         {},
         "sun.png",
         {},
         0,
         DiskSource::LimbSearch,
         InstantSource::None,
         {},
         "the disk given by hand is passed over: the radius must be 1 to 1000000 pixels"},
        {"header over the search",
         true,
         {},
         true,
         {},
         "sun.fits",
         {},
         0,
         DiskSource::Header,
         InstantSource::Header,
         I{2014, 3, 1, 0, 0, 0},
         "time: FITS header"},
        {"header over the camera",
         true,
         {},
         true,
         camera,
         "sun.fits",
         {},
         0,
         DiskSource::Header,
         InstantSource::Header,
         I{2014, 3, 1, 0, 0, 0},
         "time: FITS header"},
        {"camera over the name",
         true,
         {},
         false,
         camera,
         "sun_20230131_1200.jpg",
         {},
         0,
         DiskSource::LimbSearch,
         InstantSource::Exif,
         I{2024, 4, 8, 16, 15, 22},
         "time: camera (EXIF); orientation"},
        {"camera clock as set",
         true,
         {},
         false,
         cameraNoOffset,
         "sun.jpg",
         {},
         -300,
         DiskSource::LimbSearch,
         InstantSource::Exif,
         I{2024, 4, 8, 23, 15, 22},
         "the camera gives no offset from UT: its clock is taken as UT-05:00"},
        {"blank camera date, name",
         true,
         {},
         false,
         blank,
         "sun_20230131_1200.jpg",
         {},
         0,
         DiskSource::LimbSearch,
         InstantSource::FileName,
         I{2023, 1, 31, 12, 0, 0},
         "time: file name; orientation: celestial north up, east right (the orientation chosen "
         "for pictures); the camera left its date blank"},
        {"given over all",
         true,
         {},
         true,
         camera,
         "sun_20230131_1200.fits",
         I{2020, 5, 5, 5, 5, 5},
         0,
         DiskSource::Header,
         InstantSource::Given,
         I{2020, 5, 5, 5, 5, 5},
         "time: given"},
        {"an absurd name",
         true,
         {},
         false,
         {},
         "sun_20231301_1200.png",
         {},
         0,
         DiskSource::LimbSearch,
         InstantSource::None,
         {},
         "'20231301_1200' in the name is no real date and time: passed over"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> px = Picture(c.disk);
        PictureFile file;
        file.name = c.name;
        file.width = file.height = 64;
        file.searched = PixelGrid(px.data(), 64, 64, 64, PixelLayout::Grey8);
        if (c.fits) file.fits = header;
        file.camera = c.camera;
        PictureChoices choices;
        choices.disk = c.hand;
        choices.instant = c.given;
        choices.cameraClockOffsetMinutes = c.clock;
        const PictureContext p = OpenPicture(file, choices);
        EXPECT_EQ(p.diskSource, c.diskSource);
        EXPECT_EQ(p.disk.has_value(), c.diskSource != DiskSource::None);
        if (c.diskSource == DiskSource::Hand) {
            EXPECT_EQ(p.disk, c.hand);
        }
        if (c.diskSource == DiskSource::Header) {
            // 960" over 40" a pixel; CRPIX 33 and 32 are 1-based, the rows counted upwards:
            // column 32, row 63 - 31 = 32.
            EXPECT_EQ(p.disk, (Circle{32, 32, 24}));
        }
        EXPECT_EQ(p.limb.found, c.disk);
        EXPECT_EQ(p.instantSource, c.instantSource);
        EXPECT_EQ(p.instant, c.instant);
        const std::string status = PictureSourcesText(p, ChartGeometry{});
        EXPECT_NE(status.find(c.status), std::string::npos) << status;
    }
}

} // namespace
// An instant the file gives for certain is the picture's; one resting on 12:00 for a day
// alone or on a clock's offset assumed, or none at all, waits for the user in the window.
TEST(OpenPicture, AnInstantNotGivenForCertainIsAwaited) {
    const FitsKeywords header = {{"DATE-OBS", "2014-03-01T00:00:00"}};
    const struct {
        const char* name;
        bool fits;
        std::optional<CameraTimes> camera;
        InstantDoubt doubt;
        bool awaited;
        const char* words;
    } cases[] = {
        {"sun.png", false, {}, InstantDoubt::None, true, "none in the file, not yet given"},
        {"d060315.bmp", false, {}, InstantDoubt::DayAlone, true, "12:00 UT assumed"},
        {"sun_20230131.png", false, {}, InstantDoubt::DayAlone, true, "12:00 UT assumed"},
        {"sun_20230131_1200.png", false, {}, InstantDoubt::None, false, "file name"},
        {"sun.jpg", false, CameraTimes{"2024:04:08 18:15:22", "", "", ""},
         InstantDoubt::ClockOffset, true, "offset from UT assumed"},
        {"sun.jpg", false, CameraTimes{"2024:04:08 18:15:22", "", "+02:00", ""}, InstantDoubt::None,
         false, "camera (EXIF)"},
        {"sun_20230131.fits", true, {}, InstantDoubt::None, false, "FITS header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PictureFile file;
        file.name = c.name;
        if (c.fits) file.fits = header;
        file.camera = c.camera;
        const PictureContext p = OpenPicture(file, {});
        EXPECT_EQ(p.instantDoubt, c.doubt);
        EXPECT_EQ(InstantAwaited(p), c.awaited);
        EXPECT_NE(InstantSourceWords(p).find(c.words), std::string::npos) << InstantSourceWords(p);
    }
}

} // namespace zorva

namespace zorva {
namespace {

// The observatories' own names for their full-disk pictures, all published solar north up and
// east to the left, are taken so without being told; an orientation the user gives stands
// over the name.
TEST(OpenPicture, AnObservatorysNameTellsHowThePictureLies) {
    const struct {
        const char* name;
        bool observatory;
    } cases[] = {
        {"20111120_0130_hmiigr_512.jpg", true},   // SOHO's archive of HMI quick-looks
        {"20050111_2359_mdiigr_1024.jpg", true},  // the same for MDI
        {"20111120_0130_hmimag_512.jpg", true},   // HMI's magnetogram
        {"20111120_013000_1024_HMIIC.jpg", true}, // SDO's browse pictures
        {"20050111_2359_mdi_igr.png", true},      // MDI's own
        {"hmi_20230131_033945_512.png", true},    // JSOC's
        {"aia.lev1.171A_2011.fits", true},        // JSOC's AIA
        {"2011_11_20__01_30_00_000__SDO_HMI_HMI_continuum.jp2", true}, // Helioviewer's
        {"sun_20111120_0130.jpg", false},                              // a photo named by its day
        {"20111120_0130_hmiigrx_512.jpg", false},                      // no product of that name
        {"myhmiigr.jpg", false},
        {"hmimovie.png", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsObservatoryName(c.name), c.observatory);
        PictureFile file;
        file.name = c.name;
        const PictureContext p = OpenPicture(file, {});
        EXPECT_EQ(p.orientationSource,
                  c.observatory ? OrientationSource::FileName : OrientationSource::Picture);
        if (c.observatory) {
            // Solar north up, east to the left: no turn, not flipped, mirrored as the sky is.
            ASSERT_TRUE(p.orientation);
            EXPECT_EQ(p.orientation->q, 0);
            EXPECT_EQ(p.orientation->FlipSign, 1);
            EXPECT_EQ(p.orientation->MirrorSign, -1);
            PictureChoices told;
            told.orientationGiven = true;
            EXPECT_EQ(OpenPicture(file, told).orientationSource, OrientationSource::Given);
            told.turn = PictureTurn{Orientation::Equatorial, 1, -1, 59, OrientationSource::Given};
            const PictureContext turned = OpenPicture(file, told);
            EXPECT_EQ(turned.orientationSource, OrientationSource::Given);
            EXPECT_EQ(turned.turn, told.turn);
        }
    }
}

} // namespace
} // namespace zorva
