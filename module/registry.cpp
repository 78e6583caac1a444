#include "module/registry.h"

namespace orvik {

Registry &registry() {
  static Registry anchors;
  return anchors;
}

}  // namespace orvik
