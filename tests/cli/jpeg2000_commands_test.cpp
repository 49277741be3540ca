// A JPEG 2000 file as an archive serves it: the pixels of one exposure with its instrument's
// FITS header in the XML box, measured by every image command as its FITS file is.
#include <gtest/gtest.h>

#include "cli/commands.h"
#include "fits/fits_file.h"
#include "render/solar_image.h"
#include "run_cli.h"
#include "support/jp2_writer.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

// The resampled HMI exposure as a JP2 file: the grey picture the program shows of the FITS
// file, kept losslessly, and the FITS file's header in the XML box.
fs::path WriteJp2OfFits(const fs::path& fits, const fs::path& jp2) {
    EnsureGuiApplication();
    const SolarImageLoad load = LoadSolarImage(fits);
    EXPECT_TRUE(load.image && load.image->fits);
    const QImage& grey = load.image->shown;
    test::Jp2Source src{grey.width(), grey.height(), 1, 8, {}};
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x)
            src.values.push_back(grey.constScanLine(y)[x]);
    }
    const std::vector<uint8_t> bytes = test::WithXmlBox(
        test::EncodeJpeg2000(src), test::FitsHeaderXml(load.image->fits->keywords));
    test::WriteFile(jp2, std::string(bytes.begin(), bytes.end()));
    return jp2;
}

std::string WithoutName(std::string text, const std::string& name) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name))
        text.erase(at, name.size());
    return text;
}

TEST(Jpeg2000Commands, AJp2AndTheFitsOfOneExposureMeasureAlike) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path fits = data / "fits" / "resampled_hmi.fits";
    const fs::path jp2 = WriteJp2OfFits(fits, dir / "resampled_hmi.jp2");
    // The FITS file's own figures (the test data's README): DATE-OBS 00:00:27.90, radius
    // 46.9 px, north down.
    const test::CliResult limb = RunCli({"limb", jp2.string()});
    ASSERT_EQ(limb.status, 0) << limb.err;
    const auto f = test::Fields(limb.out);
    EXPECT_EQ(f.at("Time"), "00:00:28");
    EXPECT_NEAR(test::Number(f.at("HeaderRadius")), 46.9, 0.01);
    EXPECT_NE(limb.out.find("solar north down"), std::string::npos);
    EXPECT_EQ(limb.out, RunCli({"limb", fits.string()}).out);
    for (const char* format : {"json", "text", "csv"}) {
        SCOPED_TRACE(format);
        const test::CliResult a = RunCli({"spots", fits.string(), "--format", format});
        const test::CliResult b = RunCli({"spots", jp2.string(), "--format", format});
        EXPECT_EQ(a.status, b.status);
        EXPECT_EQ(WithoutName(a.out, fits.string()), WithoutName(b.out, jp2.string()));
    }
}

TEST(Jpeg2000Commands, NoPictureListsEveryFormat) {
    test::TempDir dir;
    test::WriteFile(dir / "sun.jp2", "<html>404 Not Found</html>");
    const test::CliResult r = RunCli({"limb", (dir / "sun.jp2").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zorva-cli: Cannot open \"sun.jp2\": it is not a BMP, PNG, JPEG, JPEG 2000, "
                     "TIFF or FITS picture.\n");
}

} // namespace
} // namespace zorva::cli
