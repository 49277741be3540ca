#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace zorva::cli {

// Exit status for a wrong argument: one line on the error stream, nothing on the output.
inline constexpr int kUsageError = 2;

// Standard output as the program writes it: buffered, straight onto the descriptor, and
// keeping the system's reason when a write fails (a full disk), after which it takes
// nothing more and its stream goes bad.
class DescriptorOutput : public std::streambuf {
  public:
    explicit DescriptorOutput(int fd);
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;
    // The errno of the first write that failed; 0 while none has.
    int error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    bool Drain();
    int fd_;
    int error_ = 0;
    std::string buffer_;
};

// Runs one zorva-cli command (args without the program name); returns the exit status.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zorva::cli
