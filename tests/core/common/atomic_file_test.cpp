#include "core/common/atomic_file.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

using test::EntriesIn;

TEST(WriteFileAtomically, ReplacesWholeOrLeavesTheOldFile) {
    test::TempDir dir;
    const fs::path file = dir / "picture.bmp";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file, "first", &error)) << error;
    ASSERT_TRUE(WriteFileAtomically(file, std::string("se\0cond", 7), &error)) << error;
    EXPECT_EQ(test::ReadFile(file), std::string("se\0cond", 7));
    EXPECT_EQ(EntriesIn(dir.path()).size(), 1u); // no temporary left behind

    // A folder with content where the file should go: the rename fails.
    const fs::path blocked = dir / "blocked.png";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(WriteFileAtomically(blocked, "new", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(EntriesIn(dir.path()).size(), 2u);

    // A folder that does not exist: nothing can be created.
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "x.tif", "new", &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace zorva
