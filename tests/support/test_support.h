#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zorva::test {

// tests/data: the real files the tests read, which every checkout holds.
std::filesystem::path TestDataDir();

} // namespace zorva::test

// Declares `dir`, the test-data folder; the test fails when it is missing. A test that
// needs the real files never skips: a checkout without them is broken.
#define ZORVA_TEST_DATA(dir)                                                                       \
    const std::filesystem::path dir = ::zorva::test::TestDataDir();                                \
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << "the test data is missing: " << dir.string()

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
// The names of a folder's entries, sorted.
std::vector<std::string> EntriesIn(const std::filesystem::path& folder);
// A text's lines, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

} // namespace zorva::test
