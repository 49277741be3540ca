// The real files the tests read: each one in tests/data has its source in the README there,
// and each one the README lists is there.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

TEST(TestData, TheFolderAndItsReadmeAgree) {
    ZORVA_TEST_DATA(data);
    std::vector<std::string> held;
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        if (entry.is_regular_file() && entry.path().filename() != "README.md") {
            held.push_back(entry.path().lexically_relative(data).generic_string());
        }
    }
    // The README names each file in the first cell of a table row: "| srs/x.txt | ...".
    std::vector<std::string> listed;
    std::ifstream readme(data / "README.md");
    ASSERT_TRUE(readme);
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("| ", 0) != 0) continue;
        const std::string cell = line.substr(2, line.find(" |", 2) - 2);
        if (cell.find('/') != std::string::npos) listed.push_back(cell);
    }
    std::sort(held.begin(), held.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(held, listed);
    EXPECT_EQ(held.size(), 15u); // 7 summaries, 5 images, 2 FITS files, 1 table
}

} // namespace
} // namespace zorva
