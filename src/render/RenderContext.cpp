#include "render/RenderContext.h"

namespace horizonmill {

RenderHost& RenderContext::NullHost() {
  static RenderHost host;
  return host;
}

}  // namespace horizonmill
