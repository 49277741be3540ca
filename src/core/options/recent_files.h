#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zorva {

// How many files each list of recent files keeps.
inline constexpr std::size_t RecentFileCount = 6;

// The three lists of File > Open Recent.
enum class RecentKind { Picture, Summary, Logfile };

// Puts `path` into a list of recent files, at the front (the latest) or at the back (as a
// list is read in), once, and keeps RecentFileCount paths at most. An empty path, and one
// that the options file could not hold (with a line break), is left out.
void RememberPath(std::vector<std::string>& list, const std::string& path, bool front = true);

// Takes `path` out of the list.
void ForgetPath(std::vector<std::string>& list, const std::string& path);

// The caption of the `index`th item (from 0): its number as the access key and the file's
// bare name ("&1 d060315.bmp"), an ampersand in the name doubled.
std::string RecentCaption(std::size_t index, const std::string& path);

} // namespace zorva
