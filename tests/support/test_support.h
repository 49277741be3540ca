#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace zorva::test {

// Folder of the shared real-world test files; empty when this checkout has none.
std::filesystem::path TestDataDir();

// Whether a missing shared folder is an error (continuous integration sets
// ZORVA_REQUIRE_TESTDATA) rather than a reason to skip.
bool TestDataRequired();

} // namespace zorva::test

// Declares `dir`, the shared test-data folder; without one the test is skipped, or fails
// where the data is required.
#define ZORVA_TESTDATA_DIR_OR_SKIP(dir)                                                            \
    const std::filesystem::path dir = ::zorva::test::TestDataDir();                                \
    if (dir.empty()) {                                                                             \
        if (::zorva::test::TestDataRequired()) FAIL() << "the shared test data is missing";        \
        GTEST_SKIP() << "no shared test data in this checkout";                                    \
    }

namespace zorva::test {

// A fresh empty folder, removed when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Runs the test body with the working folder switched, and switches back.
class ScopedCurrentDir {
  public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

  private:
    std::filesystem::path previous_;
};

// A full disk, as far as this process can tell: writes past `bytes` in any file fail
// (with EFBIG) while the object lives. The signal such a write raises is ignored meanwhile.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(unsigned long long bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    unsigned long long previous_;
    void (*previousHandler_)(int);
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& text);

} // namespace zorva::test
