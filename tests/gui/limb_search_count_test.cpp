// How often the window searches a picture's limb. This program is linked with the limb search
// wrapped (tests/CMakeLists.txt): every search, with or without sub-pixel refinement, goes
// through FindLimb once, and the wrap counts the calls.
#include <atomic>
#include <gtest/gtest.h>

#include "core/images/limb.h"
#include "core/images/limb_refine.h"
#include "window_fixture.h"

namespace {

std::atomic<int> limbSearches{0};

} // namespace

// The linker sends every call of zorva::FindLimb(const PixelGrid&) here, and this to the search.
zorva::LimbFit
RealFindLimb(const zorva::PixelGrid& grid) asm("__real__ZN5zorva8FindLimbERKNS_9PixelGridE");
zorva::LimbFit
CountedFindLimb(const zorva::PixelGrid& grid) asm("__wrap__ZN5zorva8FindLimbERKNS_9PixelGridE");
zorva::LimbFit CountedFindLimb(const zorva::PixelGrid& grid) {
    ++limbSearches;
    return RealFindLimb(grid);
}

namespace zorva {
namespace {

struct LimbSearchCount : test::WindowTest {
    LimbSearchCount() : WindowTest(QDate(2023, 1, 31)) {}
    // The searches an action of the window makes, the spot search it starts included.
    template <class Action> int SearchesIn(Action action) {
        form->FinishSpotSearches();
        const int before = limbSearches;
        action();
        form->FinishSpotSearches();
        return limbSearches - before;
    }
};

TEST_F(LimbSearchCount, APictureIsSearchedOnceWhenOpenedAndOnceWhenTheSearchChanges) {
    ZORVA_TEST_DATA(data);
    const QString hmi =
        QString::fromStdString((data / "images" / "hmi_20230131_033945_512.png").string());
    // The count itself: one search of the pixels, refined or not, is one call.
    const PixelGrid none;
    EXPECT_EQ(SearchesIn([&] { FindSubPixelLimb(none); }), 1);
    for (const bool subPixel : {false, true}) {
        SCOPED_TRACE(subPixel ? "sub-pixel" : "whole pixels");
        if (session().options().SubPixelLimb != subPixel) {
            EXPECT_EQ(SearchesIn([&] { Trigger("SubPixelLimb1"); }), 0); // the chart shown
        }
        EXPECT_EQ(SearchesIn([&] { form->OpenPicturePath(hmi); }), 1);
        ASSERT_TRUE(session().Picture().HasDisk());
        // The item asks for the other search: the picture shown is searched again, once.
        EXPECT_EQ(SearchesIn([&] { Trigger("SubPixelLimb1"); }), 1);
        EXPECT_EQ(SearchesIn([&] { Trigger("CloseImage1"); }), 0);
    }
}

} // namespace
} // namespace zorva
