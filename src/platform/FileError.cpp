#include "platform/FileError.h"

#include <cstring>

namespace horizonmill {

std::string ErrnoReason(int error) { return std::strerror(error); }

}  // namespace horizonmill
