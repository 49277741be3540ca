#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorva {

// A message for the user that needs an answer before going on: a summary that could not
// be read.
struct Notice {
    std::string text;
    std::string caption;
    bool operator==(const Notice&) const = default;
};

// What the session's parts have to tell the user: messages that need an answer, oldest
// first, and the latest passing word for the status line with a count that rises with
// each, so the same words said again are shown again.
class Messages {
  public:
    void Notify(Notice notice) { notices_.push_back(std::move(notice)); }
    void Say(std::string status) {
        status_ = std::move(status);
        ++statusCount_;
    }
    // Taking the messages forgets them.
    std::vector<Notice> TakeNotices() {
        std::vector<Notice> taken;
        taken.swap(notices_);
        return taken;
    }
    const std::string& Status() const { return status_; }
    uint64_t StatusCount() const { return statusCount_; }

  private:
    std::vector<Notice> notices_;
    std::string status_;
    uint64_t statusCount_ = 0;
};

} // namespace zorva
