#include "platform/WriteProgress.h"

#include <algorithm>

namespace horizonmill {

WriteCancelled::WriteCancelled() : std::runtime_error("the write was cancelled") {}

int WriteProgress::Percent() const {
  const std::int64_t planned = Planned();
  if (planned <= 0) return 0;
  const std::int64_t done = std::clamp<std::int64_t>(Done(), 0, planned);
  // Whole percent, toward zero: 100 only once every row is encoded.
  return static_cast<int>(done * 100 / planned);
}

}  // namespace horizonmill
