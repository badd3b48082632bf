#include "platform/zeko/DescriptionError.h"

namespace zeko::sim {

// Out of line, so that the type information lives in the simulator core alone and a catch in any
// library that loads it matches.
DescriptionError::~DescriptionError() = default;

} // namespace zeko::sim
