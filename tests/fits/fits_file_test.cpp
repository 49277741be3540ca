#include "fits/fits_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "support/fits_writer.h"
#include "support/test_support.h"

namespace zorva {
namespace {

using test::Card;
using test::FitsBytes;
using test::FitsHdu;

constexpr FitsLimits kLimits{30000, int64_t{1} << 30};

FitsRead FromBytes(const std::string& bytes, const FitsLimits& limits = kLimits) {
    return ReadFitsMemory(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
        limits);
}

std::vector<float> ValuesOf(const FitsPicture& pic) {
    return {pic.values.begin(), pic.values.end()};
}

// A 3 x 2 picture: stored values 1 2 3 in FITS row 1 (the bottom) and 4 5 6 in row 2.
FitsHdu SixPixels(int bitpix, std::vector<std::string> cards = {}) {
    return {bitpix, {3, 2}, std::move(cards), {1, 2, 3, 4, 5, 6}};
}

TEST(ReadFits, EveryPixelTypeScaledAndTurnedTheRightWayUp) {
    // Physical value = BZERO + BSCALE * stored: with 2 and 10, 1..6 become 12..22. Row 2
    // of the file is the picture's top row.
    const std::vector<float> expected = {18, 20, 22, 12, 14, 16};
    for (const int bitpix : {8, 16, 32, 64, -32, -64}) {
        SCOPED_TRACE(bitpix);
        const FitsRead read =
            FromBytes(FitsBytes({SixPixels(bitpix, {Card("BSCALE", "2.0"), Card("BZERO", "10")})}));
        ASSERT_TRUE(read.picture) << read.error;
        EXPECT_EQ(read.picture->width, 3);
        EXPECT_EQ(read.picture->height, 2);
        EXPECT_EQ(read.picture->info.bitpix, bitpix);
        EXPECT_EQ(ValuesOf(*read.picture), expected);
    }
}

TEST(ReadFits, BlankAndNotANumberAreNoData) {
    // BLANK names the stored integer of a pixel without data; a float image uses NaN.
    FitsRead read = FromBytes(FitsBytes({SixPixels(16, {Card("BLANK", "5")})}));
    ASSERT_TRUE(read.picture) << read.error;
    EXPECT_TRUE(std::isnan(read.picture->values[1])); // stored 5: row 2, column 2
    EXPECT_EQ(read.picture->values[0], 4);
    EXPECT_EQ(read.picture->info.levels.finite, 5u);

    FitsHdu floats = SixPixels(-32);
    floats.stored[0] = std::nan("");
    read = FromBytes(FitsBytes({floats}));
    ASSERT_TRUE(read.picture) << read.error;
    EXPECT_TRUE(std::isnan(read.picture->values[3]));
    EXPECT_EQ(read.picture->info.levels.finite, 5u);
}

TEST(ReadFits, ThreePlanesAreColourOtherCubesTheirFirstPlane) {
    // Plane k holds 10 k + the pixel number.
    auto cube = [](int64_t planes) {
        FitsHdu h{-32, {2, 1, planes}, {}, {}};
        for (int64_t k = 0; k < planes; ++k) {
            h.stored.push_back(static_cast<double>(10 * k + 1));
            h.stored.push_back(static_cast<double>(10 * k + 2));
        }
        return h;
    };
    FitsRead read = FromBytes(FitsBytes({cube(3)}));
    ASSERT_TRUE(read.picture) << read.error;
    EXPECT_TRUE(read.picture->info.colour);
    EXPECT_EQ(read.picture->planes, 3);
    EXPECT_EQ(ValuesOf(*read.picture), (std::vector<float>{1, 2, 11, 12, 21, 22}));
    read = FromBytes(FitsBytes({cube(4)}));
    ASSERT_TRUE(read.picture) << read.error;
    EXPECT_FALSE(read.picture->info.colour);
    EXPECT_EQ(ValuesOf(*read.picture), (std::vector<float>{1, 2}));
}

TEST(ReadFits, AnEmptyPrimaryLeadsToTheImageExtension) {
    // The observation keywords may stand in the primary header; the image's own win.
    FitsHdu primary{8, {}, {Card("DATE-OBS", test::Quoted("2014-03-01")), Card("ORIGIN", "1")}, {}};
    FitsHdu image = SixPixels(16, {Card("ORIGIN", "2")});
    image.extension = true;
    const FitsRead read = FromBytes(FitsBytes({primary, image}));
    ASSERT_TRUE(read.picture) << read.error;
    EXPECT_EQ(read.picture->values[5], 3);
    EXPECT_EQ(read.picture->info.keywords.at("DATE-OBS"), "2014-03-01");
    EXPECT_EQ(read.picture->info.keywords.at("ORIGIN"), "2");
}

TEST(ReadFits, BadFilesAreRefusedWithTheReason) {
    const std::string good = FitsBytes({SixPixels(16)});
    std::string noEnd = good.substr(0, test::kFitsBlock);
    noEnd.replace(noEnd.find("END "), 3, "   ");
    std::string bitpixZero = good;
    bitpixZero.replace(bitpixZero.find("BITPIX  = 16"), 12, "BITPIX  = 0 ");
    const struct {
        const char* what;
        std::string bytes;
        FitsLimits limits;
        const char* reason;
    } cases[] = {
        {"empty", "", kLimits, "the file is empty"},
        {"not FITS", std::string(5000, 'x'), kLimits, "it is not a FITS file"},
        {"a PNG", "\x89PNG\r\n\x1a\n" + std::string(3000, '\0'), kLimits, "not a FITS file"},
        {"cut off in the data", good.substr(0, test::kFitsBlock + 4), kLimits, "cut off"},
        {"cut off in the header", good.substr(0, 1000), kLimits, "cut off"},
        {"cut off after the header", good.substr(0, test::kFitsBlock), kLimits, "cut off"},
        {"no END card", noEnd, kLimits, "cut off"},
        {"a header without an image", FitsBytes({FitsHdu{8, {}, {}, {}}}), kLimits,
         "no image (NAXIS = 0)"},
        {"one axis", FitsBytes({FitsHdu{16, {4}, {}, {1, 2, 3, 4}}}), kLimits, "single axis"},
        {"an axis of length 0", FitsBytes({FitsHdu{16, {3, 0}, {}, {}}}), kLimits,
         "no pixels (NAXIS2 = 0)"},
        {"BITPIX 0", bitpixZero, kLimits, "no valid BITPIX"},
        {"gigantic", FitsBytes({FitsHdu{16, {1000000000000, 1000000000000}, {}, {}}}), kLimits,
         "at most 30000 pixels a side"},
        {"too much memory", FitsBytes({SixPixels(16)}), FitsLimits{30000, 20},
         "more than 0 MiB of memory"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FitsRead inMemory = FromBytes(c.bytes, c.limits);
        EXPECT_FALSE(inMemory.picture);
        EXPECT_NE(inMemory.error.find(c.reason), std::string::npos) << inMemory.error;
        test::WriteFile(dir / "bad.fits", c.bytes);
        const FitsRead onDisk = ReadFitsFile((dir / "bad.fits").string(), c.limits);
        EXPECT_FALSE(onDisk.picture);
        EXPECT_NE(onDisk.error.find(c.reason), std::string::npos) << onDisk.error;
    }
    EXPECT_FALSE(ReadFitsFile((dir / "missing.fits").string(), kLimits).picture);
}

TEST(ReadFits, NamesWithFilterCharactersAreTakenLiterally) {
    test::TempDir dir;
    const std::string name = (dir / "sun (1)[2].fits").string();
    test::WriteFile(name, FitsBytes({SixPixels(8)}));
    const FitsRead read = ReadFitsFile(name, kLimits);
    ASSERT_TRUE(read.picture) << read.error;
    EXPECT_EQ(read.picture->values[0], 4);
}

TEST(ReadFits, RealHmiFileAndItsGzippedCopy) {
    ZORVA_TEST_DATA(data);
    const std::filesystem::path hmi = data / "fits" / "resampled_hmi.fits";
    const FitsRead read = ReadFitsFile(hmi.string(), kLimits);
    ASSERT_TRUE(read.picture) << read.error;
    const FitsPicture& pic = *read.picture;
    // The test data's README: 100 x 100 doubles, 2430 NaN outside the disk.
    EXPECT_EQ(pic.width, 100);
    EXPECT_EQ(pic.height, 100);
    EXPECT_EQ(pic.info.bitpix, -64);
    EXPECT_EQ(
        std::count_if(pic.values.begin(), pic.values.end(), [](float v) { return std::isnan(v); }),
        2430);
    EXPECT_EQ(pic.info.keywords.at("T_OBS"), "2014.03.01_00:01:25_TAI");
    EXPECT_EQ(pic.info.keywords.at("CROTA2"), "179.929779");

    test::TempDir dir;
    const std::string gz = (dir / "hmi.fits.gz").string();
    ASSERT_EQ(std::system(("gzip -c '" + hmi.string() + "' > '" + gz + "'").c_str()), 0);
    const FitsRead zipped = ReadFitsFile(gz, kLimits);
    ASSERT_TRUE(zipped.picture) << zipped.error;
    EXPECT_TRUE(std::equal(pic.values.begin(), pic.values.end(), zipped.picture->values.begin(),
                           zipped.picture->values.end(), [](float a, float b) {
                               return a == b || (std::isnan(a) && std::isnan(b));
                           }));
}

TEST(ReadFits, ADamagedCompressedImageIsAMessageNotACrash) {
    // Tile-compressed files of the seed corpus: one intact, and one whose compressed
    // bytes crash cfitsio's decoder (found by the fuzz target). Such files are read in a
    // child process, which dies in this one's place.
    const std::filesystem::path seeds =
        std::filesystem::path(ZORVA_SOURCE_DIR) / "fuzz" / "corpus" / "fits";
    const FitsRead intact = ReadFitsFile((seeds / "sixteen_bit_wcs.fits.fz").string(), kLimits);
    ASSERT_TRUE(intact.picture) << intact.error;
    EXPECT_EQ(intact.picture->width, 32);
    const FitsRead damaged = ReadFitsFile((seeds / "damaged_rice_tile.fits.fz").string(), kLimits);
    EXPECT_FALSE(damaged.picture);
    EXPECT_TRUE(damaged.error.find("compressed image is damaged") != std::string::npos ||
                damaged.error.find("the reader failed") != std::string::npos)
        << damaged.error;
}

// Set by the handler the tests put in place, as the program's own would be.
int handledPipe[2] = {-1, -1};

void Handled(int signal) {
    const char byte = static_cast<char>(signal);
    (void)!write(handledPipe[1], &byte, 1);
    _exit(1);
}

TEST(ReadFits, PackedAndTileCompressedFilesAreReadInAChildProcess) {
    const std::filesystem::path seeds =
        std::filesystem::path(ZORVA_SOURCE_DIR) / "fuzz" / "corpus" / "fits";
    const std::string plain = FitsBytes({SixPixels(16)});
    // An image in the primary header is read from there, whatever follows it.
    std::string imageThenTable = plain + test::ReadFile(seeds / "sixteen_bit_wcs.fits.fz");
    FitsHdu empty{8, {}, {}, {}};
    FitsHdu extension = SixPixels(16);
    extension.extension = true;
    const struct {
        const char* what;
        std::string bytes;
        bool here;
    } cases[] = {
        {"plain", plain, true},
        {"empty primary, image extension", FitsBytes({empty, extension}), true},
        {"image, then a compressed one", imageThenTable, true},
        {"tile-compressed", test::ReadFile(seeds / "sixteen_bit_wcs.fits.fz"), false},
        {"gzip", "\x1f\x8b" + plain, false},
        {"compress", "\x1f\x9d" + plain, false},
        {"zip", "PK" + plain, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadsInThisProcess(std::span<const uint8_t>(
                      reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size())),
                  c.here);
    }
}

TEST(ReadFits, TheReaderProcessDiesAloneAndQuietly) {
    // A crash of cfitsio in the reader process is not handled by this process's own
    // handlers (which might close the window or report a crash of the program): nothing
    // comes down the pipe they write to, and the read is refused with a message.
    ASSERT_EQ(pipe2(handledPipe, O_CLOEXEC | O_NONBLOCK), 0);
    struct sigaction action {};
    action.sa_handler = Handled;
    std::array<struct sigaction, 6> before{};
    const std::array<int, 6> signals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTERM};
    for (std::size_t i = 0; i < signals.size(); ++i)
        ASSERT_EQ(sigaction(signals[i], &action, &before[i]), 0);
    // The intact tile-compressed seed with tiles of no width: cfitsio divides by it.
    const std::filesystem::path seeds =
        std::filesystem::path(ZORVA_SOURCE_DIR) / "fuzz" / "corpus" / "fits";
    std::string bytes = test::ReadFile(seeds / "sixteen_bit_wcs.fits.fz");
    const std::size_t tile = bytes.find("ZTILE1  =");
    ASSERT_NE(tile, std::string::npos);
    bytes.replace(tile, test::kFitsCard, Card("ZTILE1", "0"));
    test::TempDir dir;
    test::WriteFile(dir / "no_width.fits.fz", bytes);
    const FitsRead damaged = ReadFitsFile((dir / "no_width.fits.fz").string(), kLimits);
    for (std::size_t i = 0; i < signals.size(); ++i)
        sigaction(signals[i], &before[i], nullptr);
    EXPECT_FALSE(damaged.picture);
    EXPECT_FALSE(damaged.error.empty());
    char byte = 0;
    EXPECT_EQ(read(handledPipe[0], &byte, 1), -1) << "handled signal " << int{byte};
    close(handledPipe[0]);
    close(handledPipe[1]);
}

TEST(ReadFits, APackedFileThatUnpacksBeyondTheLimitTakesNoMoreMemory) {
    // 256 MiB of an 8-bit image gzipped to about a megabyte, read with room for a 1 MiB
    // picture. The reader would unpack the whole file in memory; it is held to a few
    // times the picture's room, so its peak size stays far below the unpacked file.
    test::TempDir dir;
    constexpr int kSide = 16384; // 16384^2 bytes: 256 MiB
    test::WriteFile(dir / "head.fits", FitsBytes({FitsHdu{8, {kSide, kSide}, {}, {}}}));
    const std::string packed = (dir / "big.fits.gz").string();
    ASSERT_EQ(std::system(("(cat '" + (dir / "head.fits").string() +
                           "'; head -c 268435456 /dev/zero) | gzip -1 > '" + packed + "'")
                              .c_str()),
              0);
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const FitsRead read = ReadFitsFile(packed, FitsLimits{kSide, int64_t{1} << 20});
    EXPECT_FALSE(read.picture);
    EXPECT_FALSE(read.error.empty());
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    // Peak sizes in KiB: the reader's own beyond this process's, against the 256 MiB.
    constexpr long kUnpackedKiB = 256 * 1024;
    EXPECT_LT(children.ru_maxrss - self.ru_maxrss, kUnpackedKiB / 2) << read.error;
}

// The card `key` of a header replaced by one holding `value`.
void SetCard(std::string& bytes, std::string_view key, std::string_view value) {
    const std::size_t at = bytes.find(std::string(key) + std::string(8 - key.size(), ' ') + "=");
    ASSERT_NE(at, std::string::npos) << key;
    bytes.replace(at, test::kFitsCard, Card(key, value));
}

TEST(ReadFits, FilesThatUnpackBeyondTheirPictureAreRefusedBeforeTheyAreRead) {
    // The program's limits: 1 GiB for a picture with 9 bytes a pixel kept beside its value.
    constexpr FitsLimits kProgram{30000, int64_t{1} << 30, 9};
    test::TempDir dir;
    // A 64 x 64 mask packed by PLIO as one tile, its sizes then set far larger: the tile's
    // few bytes would unpack to the whole declared picture.
    FitsHdu mask{16, {64, 64}, {}, {}};
    for (int i = 0; i < 64 * 64; ++i)
        mask.stored.push_back(i % 64 < 32 ? 1 : 0);
    test::WriteFile(dir / "mask.fits", FitsBytes({mask}));
    const std::string packed = (dir / "mask.fits.fz").string();
    ASSERT_EQ(
        std::system(("fpack -p -t 64,64 -O '" + packed + "' '" + (dir / "mask.fits").string() + "'")
                        .c_str()),
        0);
    const std::string plio = test::ReadFile(packed);
    const auto damaged = [&](const char* name, const char* side, const char* tile) {
        std::string bytes = plio;
        SetCard(bytes, "ZNAXIS1", side);
        SetCard(bytes, "ZNAXIS2", side);
        SetCard(bytes, "ZTILE1", tile);
        SetCard(bytes, "ZTILE2", tile);
        test::WriteFile(dir / name, bytes);
    };
    // 16000^2 pixels at 4 + 9 bytes: 3.3 GB.
    damaged("big.fits.fz", "16000", "16000");
    // 8000^2 pixels fit (0.83 GB), but one tile of them unpacks at 16 bytes a pixel: 1 GB.
    damaged("big_tile.fits.fz", "8000", "8000");
    // 64 MiB of zeros behind a 64 x 64 byte picture's header, gzipped to 64 KB: the reader
    // would unpack all of it in memory.
    test::WriteFile(dir / "head.fits", FitsBytes({FitsHdu{8, {64, 64}, {}, {}}}));
    const std::string bomb = (dir / "bomb.fits.gz").string();
    ASSERT_EQ(std::system(("(cat '" + (dir / "head.fits").string() +
                           "'; head -c 67108864 /dev/zero) | gzip -1 > '" + bomb + "'")
                              .c_str()),
              0);
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"big.fits.fz", "the picture would need more than 1024 MiB of memory"},
        {"big_tile.fits.fz", "comes in tiles of 64000000 pixels"},
        {"bomb.fits.gz", "it unpacks to more than 16 MiB, far more than its 64 x 64 picture"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rusage before{};
        getrusage(RUSAGE_CHILDREN, &before);
        const FitsRead read = ReadFitsFile((dir / c.name).string(), kProgram);
        EXPECT_FALSE(read.picture);
        EXPECT_NE(read.error.find(c.reason), std::string::npos) << read.error;
        // No reader process grew past a few megabytes: the file was refused before.
        rusage after{};
        getrusage(RUSAGE_CHILDREN, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << read.error;
    }
    // The mask itself, one tile of 64 rows, reads whole.
    const FitsRead intact = ReadFitsFile(packed, kProgram);
    ASSERT_TRUE(intact.picture) << intact.error;
    EXPECT_EQ(intact.picture->values[0], 1.0f);
    EXPECT_EQ(intact.picture->values[63], 0.0f);
}

TEST(ReadFits, AnFpackedFloatImageKeepsItsPixelsWithoutData) {
    // fpack stores a float image as scaled integers and each NaN as a blank integer; the
    // blank must come back as no data, not as a number.
    FitsHdu floats{-32, {40, 30}, {}, {}};
    for (int i = 0; i < 40 * 30; ++i)
        floats.stored.push_back(i % 7 == 0 ? std::nan("") : 1000.0 + (i * 37) % 500);
    test::TempDir dir;
    test::WriteFile(dir / "f.fits", FitsBytes({floats}));
    const std::string packed = (dir / "f.fits.fz").string();
    ASSERT_EQ(
        std::system(("fpack -O '" + packed + "' '" + (dir / "f.fits").string() + "'").c_str()), 0);
    const FitsRead read = ReadFitsFile(packed, kLimits);
    ASSERT_TRUE(read.picture) << read.error;
    for (int row = 0; row < 30; ++row) {
        for (int x = 0; x < 40; ++x) {
            // Row 1 of the file is the bottom of the picture.
            const double stored = floats.stored[static_cast<std::size_t>(row * 40 + x)];
            const float v = read.picture->values[static_cast<std::size_t>((29 - row) * 40 + x)];
            ASSERT_EQ(std::isnan(v), std::isnan(stored)) << x << " " << row;
            if (!std::isnan(stored)) {
                EXPECT_NEAR(v, stored, 5.0); // fpack's quantisation
            }
        }
    }
    EXPECT_EQ(read.picture->info.levels.finite, 40u * 30u - 172u); // i % 7 == 0: 172 of 1200
}

TEST(IsFitsFileName, TheFitsExtensionsInAnyCase) {
    for (const char* name :
         {"a.fits", "a.FIT", "a.fts", "a.fits.gz", "a.Fit.GZ", "a.fz", "a.fits.fz"})
        EXPECT_TRUE(IsFitsFileName(name)) << name;
    for (const char* name : {"a.png", "fits", "a.fits.bak", "a.gz", "a.fitsx"})
        EXPECT_FALSE(IsFitsFileName(name)) << name;
}

} // namespace
} // namespace zorva
