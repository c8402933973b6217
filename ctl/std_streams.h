#pragma once

#include <cstddef>
#include <optional>
#include <streambuf>
#include <string>

namespace korvel::ctl {

// Standard output as a stream that remembers why a write failed: a full disk
// or a closed pipe must turn a result into a failure, flush and close included.
class FdOutput final : public std::streambuf {
  public:
    explicit FdOutput(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
    // Flushes and closes the descriptor; what failed first, or empty.
    std::string close();
    const std::string& error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    bool drain();
    int fd_;
    std::string error_;
    char buffer_[8192];
};

// The most a backup file read from a path or standard input may hold; a real
// one is a few hundred KB.
inline constexpr std::size_t kMaxBackupBytes = std::size_t{4} << 20;

// Reads `fd` to its end, at most `limit` bytes, in slices that ask for a stop
// signal; nullopt when it is larger (`error` empty), unreadable or stopped.
std::optional<std::string> readAll(int fd, std::size_t limit, std::string& error);

// One line typed on the terminal at `fd`, its end of line removed; nullopt at
// its end or when a stop signal arrives.
std::optional<std::string> readLine(int fd);

}  // namespace korvel::ctl
