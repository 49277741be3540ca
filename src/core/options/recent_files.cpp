#include "core/options/recent_files.h"

#include <algorithm>

namespace zorva {

void RememberPath(std::vector<std::string>& list, const std::string& path, bool front) {
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return;
    const auto found = std::find(list.begin(), list.end(), path);
    if (found != list.end()) {
        if (!front) return;
        list.erase(found);
    }
    if (front) {
        list.insert(list.begin(), path);
    } else if (list.size() < RecentFileCount) {
        list.push_back(path);
    }
    if (list.size() > RecentFileCount) list.resize(RecentFileCount);
}

void ForgetPath(std::vector<std::string>& list, const std::string& path) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
}

std::string RecentCaption(std::size_t index, const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string caption = "&" + std::to_string(index + 1) + " ";
    for (const char c : name) {
        if (c == '&') caption += '&';
        caption += c;
    }
    return caption;
}

} // namespace zorva
