#include "tolvane_model/CameraListener.h"

namespace Tolvane_model {

CameraListener::~CameraListener() = default;

void CameraListener::recordEnd() {}

void CameraListener::optimizeEnd() {}

} // namespace Tolvane_model
