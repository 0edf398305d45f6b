// The warnings of horizonmill-render: one line each on standard error, counted
// so that --strict can refuse to go on.
#pragma once

#include <cstdio>
#include <string_view>

namespace horizonmill::cli {

class WarningLog {
 public:
  explicit WarningLog(std::FILE* out) : out_(out) {}
  // "horizonmill-render: WHERE: warning: TEXT", or without "WHERE: " when it is empty.
  void Warn(std::string_view where, std::string_view text);
  int Count() const { return count_; }

 private:
  std::FILE* out_;
  int count_ = 0;
};

}  // namespace horizonmill::cli
