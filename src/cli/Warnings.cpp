#include "cli/Warnings.h"

namespace horizonmill::cli {

void WarningLog::Warn(std::string_view where, std::string_view text) {
  ++count_;
  std::fprintf(out_, "horizonmill-render: %.*s%swarning: %.*s\n", static_cast<int>(where.size()),
               where.data(), where.empty() ? "" : ": ", static_cast<int>(text.size()), text.data());
}

}  // namespace horizonmill::cli
